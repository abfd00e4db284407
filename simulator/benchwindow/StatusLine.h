// The bench window's status line: whether an adapter is connected and what
// it answered. Always two lines high, so that a long message never moves the
// parts above it; a message that needs more ends in "..." on the second
// line and reads whole in its tooltip and to a screen reader. UI thread only.
#pragma once

#include <QLabel>

namespace tvxsim::bench {

class StatusLine : public QLabel {
    Q_OBJECT

public:
    static constexpr int kLines = 2;

    explicit StatusLine(QWidget *parent = nullptr);

    // Shows a message; a screen reader hears of the change.
    void SetMessage(const QString &message);
    // The whole message, however much of it fits.
    const QString &Message() const { return message_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FitHeight();
    void FitText();

    QString message_;  // as given
};

}  // namespace tvxsim::bench
