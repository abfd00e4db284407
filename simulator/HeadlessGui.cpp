// The GUI door without a GUI: no spectrum painter, no set-up dialogs.
#include "simulator/Gui.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {

SpectrumPainter *AttachSpectrum(void *, std::shared_ptr<const AnalysisFeed>) { return nullptr; }

void ReleaseSpectrum(SpectrumPainter *) {}

int32_t ShowSetupDialog(SetupDialog, void *, const SetupSnapshot &) { return kErrNoGui; }

}  // namespace tvxsim
