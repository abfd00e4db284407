// A lamp on the bench: a round light, lit or dark, that a screen reader
// reads as its name and its state's word ("lit" or "dark", "on" or "off").
// UI thread only.
#pragma once

#include <QColor>
#include <QWidget>

namespace tvxsim::bench {

class Lamp : public QWidget {
    Q_OBJECT

public:
    Lamp(const QString &name, QColor litColour, QString litWord, QString darkWord, QWidget *parent = nullptr);

    bool IsLit() const { return lit_; }
    // Lights or darkens it; a screen reader hears of the change.
    void SetLit(bool lit);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Describe();

    QColor litColour_;  // the light's colour when lit
    QString litWord_;   // read when lit
    QString darkWord_;  // read when dark
    bool lit_ = false;  // shown lit
};

}  // namespace tvxsim::bench
