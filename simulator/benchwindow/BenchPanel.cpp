#include "simulator/benchwindow/BenchPanel.h"

namespace tvxsim::bench {

BenchPanel::BenchPanel(const QString &title, QWidget *parent) : QGroupBox(title, parent) {}

void BenchPanel::Submit(const Request &request)
{
    if (request.ok())
        emit requested(Qs(request.line));
    else
        emit refused(Qs(request.error));
}

}  // namespace tvxsim::bench
