// The GUI door without a GUI: no spectrum painter, no set-up dialogs.
#include "simulator/Gui.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {

SpectrumPainter *attachSpectrum(void *) { return nullptr; }

void releaseSpectrum(SpectrumPainter *) {}

int32_t showSetupDialog(SetupDialog, void *, const SetupSnapshot &) { return kErrNoGui; }

}  // namespace tvxsim
