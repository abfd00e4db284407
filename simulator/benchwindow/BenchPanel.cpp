#include "simulator/benchwindow/BenchPanel.h"

#include <QComboBox>

namespace tvxsim::bench {

BenchPanel::BenchPanel(const QString &title, QWidget *parent) : QGroupBox(title, parent) {}

void BenchPanel::Submit(const Request &request)
{
    if (request.ok())
        emit requested(Qs(request.line));
    else
        emit refused(Qs(request.error));
}

void NarrowChoices(QComboBox *box)
{
    constexpr int kLength = 12;  // characters a choice box shows at least
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(kLength);
}

}  // namespace tvxsim::bench
