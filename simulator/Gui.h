// The library's door to the GUI: the spectrum painter in the caller's
// spectrum area and the set-up dialogs. The library is built with the Qt
// side (GuiQt.cpp); a headless build, such as the fuzz targets', links
// HeadlessGui.cpp instead and has neither.
#pragma once

#include <cstdint>
#include <memory>

#include "simulator/SetupDialogs.h"
#include "simulator/engine/AnalysisFeed.h"

namespace tvxsim {

class SpectrumPainter {
public:
    virtual ~SpectrumPainter() = default;
    // Any thread: starts or stops the painting.
    virtual void SetActive(bool on) = 0;
    // Width of the area in logical pixels; 0 when the area is gone.
    virtual int MappingWidth() = 0;
};

// A painter attached to the caller's spectrum window (a QWidget *) that
// draws the feed's frames, or nullptr when there is no window or no GUI.
SpectrumPainter *AttachSpectrum(void *window, std::shared_ptr<const AnalysisFeed> feed);
// Any thread: lets the painter go (it is deleted on its own thread).
void ReleaseSpectrum(SpectrumPainter *painter);
// Shows a set-up dialog modally over owner (a QWidget *, may be null).
int32_t ShowSetupDialog(SetupDialog which, void *owner, const SetupSnapshot &snapshot);

}  // namespace tvxsim
