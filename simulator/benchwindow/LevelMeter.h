// A level meter for one audio point: a bar from -60 to +3 dBm0 whose text,
// which a screen reader reads as its value, is the level ("-20.3 dBm0",
// "silence"). UI thread only.
#pragma once

#include <QProgressBar>

#include <optional>

namespace tvxsim::bench {

class LevelMeter : public QProgressBar {
    Q_OBJECT

public:
    explicit LevelMeter(const QString &pointName, QWidget *parent = nullptr);

    // Shows a level in dBm0, or nothing known.
    void SetLevel(std::optional<double> dbm0);

    QString text() const override { return text_; }
    // Room for a level's text, narrower than a progress bar asks for.
    QSize minimumSizeHint() const override;

private:
    QString text_;  // what the bar shows and a screen reader reads
};

}  // namespace tvxsim::bench
