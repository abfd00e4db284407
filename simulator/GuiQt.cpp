// The GUI door with Qt: the spectrum painter and the set-up dialogs.
#include <QWidget>

#include "simulator/AnalysisPainter.h"
#include "simulator/Gui.h"

namespace tvxsim {

SpectrumPainter *AttachSpectrum(void *window, std::shared_ptr<const AnalysisFeed> feed)
{
    return window == nullptr ? nullptr : new AnalysisPainter(static_cast<QWidget *>(window), std::move(feed));
}

void ReleaseSpectrum(SpectrumPainter *painter) { AnalysisPainter::Destroy(static_cast<AnalysisPainter *>(painter)); }

int32_t ShowSetupDialog(SetupDialog which, void *owner, const SetupSnapshot &snapshot)
{
    return RunSetupDialog(which, static_cast<QWidget *>(owner), snapshot);
}

}  // namespace tvxsim
