#include "simulator/benchwindow/RoutesPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tvxsim::bench {
namespace {

enum Column {
    kNumberColumn,
    kRouteColumn,
    kLineColumn,
    kColumns
};

// Each row keeps what it was made from, for loading it back into the form.
constexpr int kRouteRole = Qt::UserRole;
constexpr int kAnswerRole = Qt::UserRole + 1;

}  // namespace

RoutesPanel::RoutesPanel(QWidget *parent)
    : BenchPanel(tr("Dialled numbers"), parent),
      number_(new QLineEdit(QStringLiteral("5551234"), this)),
      route_(new QComboBox(this)),
      answerMs_(new QSpinBox(this)),
      table_(new QTableWidget(0, kColumns, this))
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    number_->setMaxLength(int(kMaxNumberDigits));
    number_->setAccessibleDescription(tr("Digits the tool dials: 0-9, *, #, A-D, at most 32"));
    route_->setAccessibleName(tr("It does"));  // else named by its current item
    route_->addItem(tr("Answers after a delay"), int(Route::Answer));
    route_->addItem(tr("Busy"), int(Route::Busy));
    route_->addItem(tr("No answer (rings for ever)"), int(Route::NoAnswer));
    NarrowChoices(route_);
    answerMs_->setRange(0, 600000);
    answerMs_->setValue(3000);
    answerMs_->setSuffix(tr(" ms"));
    answerMs_->setAccessibleDescription(tr("How long the number rings before it answers"));
    form->addRow(tr("Dialled nu&mber:"), number_);
    form->addRow(tr("It &does:"), route_);
    form->addRow(tr("Answer&s after:"), answerMs_);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    auto *set = new QPushButton(tr("Set &route"), this);
    set->setAccessibleDescription(tr("Sends this number's route to the exchange and lists it below"));
    connect(set, &QPushButton::clicked, this, &RoutesPanel::SetRoute);
    connect(number_, &QLineEdit::returnPressed, this, &RoutesPanel::SetRoute);
    buttons->addWidget(set);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    table_->setHorizontalHeaderLabels({tr("Number"), tr("Route"), tr("Request")});
    table_->setColumnHidden(kLineColumn, true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("Routed numbers"));
    table_->setAccessibleDescription(tr("Choose a row to change its route in the form above"));
    table_->setMinimumHeight(fontMetrics().height() * 5);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { LoadRow(row); });
    layout->addWidget(table_, 1);

    connect(route_, &QComboBox::currentIndexChanged, this, &RoutesPanel::UpdateAnswerField);
    UpdateAnswerField();
}

void RoutesPanel::UpdateAnswerField() { answerMs_->setEnabled(Route(route_->currentData().toInt()) == Route::Answer); }

void RoutesPanel::SetRoute()
{
    const QString digits = number_->text().trimmed().toUpper();
    const Route route = Route(route_->currentData().toInt());
    const Request request = NumberRoute(digits.toStdString(), route, answerMs_->value());
    Submit(request);
    if (!request.ok())
        return;
    int row = 0;
    while (row < table_->rowCount() && table_->item(row, kNumberColumn)->text() != digits)
        ++row;
    if (row == table_->rowCount())
        table_->insertRow(row);
    const QString what = route == Route::Answer ? tr("answers after %1 ms").arg(answerMs_->value())
                         : route == Route::Busy ? tr("busy")
                                                : tr("no answer");
    auto *number = new QTableWidgetItem(digits);
    number->setData(kRouteRole, int(route));
    number->setData(kAnswerRole, answerMs_->value());
    table_->setItem(row, kNumberColumn, number);
    table_->setItem(row, kRouteColumn, new QTableWidgetItem(what));
    table_->setItem(row, kLineColumn, new QTableWidgetItem(Qs(request.line)));
}

void RoutesPanel::LoadRow(int row)
{
    if (row < 0 || row >= table_->rowCount())
        return;
    const QTableWidgetItem *number = table_->item(row, kNumberColumn);
    number_->setText(number->text());
    route_->setCurrentIndex(route_->findData(number->data(kRouteRole)));
    answerMs_->setValue(number->data(kAnswerRole).toInt());
}

QStringList RoutesPanel::Lines() const
{
    QStringList lines;
    for (int row = 0; row < table_->rowCount(); ++row)
        lines << table_->item(row, kLineColumn)->text();
    return lines;
}

void RoutesPanel::Resend()
{
    for (const QString &line : Lines())
        emit requested(line);
}

}  // namespace tvxsim::bench
