// The numbers the tool may dial and what the exchange does with each:
// answer after some ms, busy, or no answer. The table holds what this window
// sent; the adapter hears it again whenever it opens anew. UI thread only.
#pragma once

#include "simulator/benchwindow/BenchPanel.h"

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace tvxsim::bench {

class RoutesPanel : public BenchPanel {
    Q_OBJECT

public:
    explicit RoutesPanel(QWidget *parent = nullptr);

    void Show(const BenchState &, StateItem) override {}

    // Sends every row again (the adapter forgets them when it closes).
    void Resend();

    // The request line of each row, in table order.
    QStringList Lines() const;

private:
    void SetRoute();
    void LoadRow(int row);
    void UpdateAnswerField();

    QLineEdit *number_;    // the number to route
    QComboBox *route_;     // Route
    QSpinBox *answerMs_;   // for Route::Answer
    QTableWidget *table_;  // number, what happens, the request line (hidden)
};

}  // namespace tvxsim::bench
