// The GUI door with Qt: the spectrum painter and the set-up dialogs.
#include <QWidget>

#include "simulator/AnalysisPainter.h"
#include "simulator/Gui.h"

namespace tvxsim {

SpectrumPainter *attachSpectrum(void *window)
{
    return window == nullptr ? nullptr : new AnalysisPainter(static_cast<QWidget *>(window));
}

void releaseSpectrum(SpectrumPainter *painter) { AnalysisPainter::destroy(static_cast<AnalysisPainter *>(painter)); }

int32_t showSetupDialog(SetupDialog which, void *owner, const SetupSnapshot &snapshot)
{
    return runSetupDialog(which, static_cast<QWidget *>(owner), snapshot);
}

}  // namespace tvxsim
