// The LEDs test (template 141): every click on one of its eight boxes sends
// the whole LED mask built from all eight. The opener releases every lamp
// once the dialog has closed. UI thread only.
#pragma once

#include "ui/MessageMap.h"

#include <QDialog>

#include <cstdint>

class CLedsTestDlg : public QDialog {
    Q_OBJECT
public:
    // Opens with every box unchecked and sends nothing until the first click.
    // Escape, the close box and Enter end the dialog.
    explicit CLedsTestDlg(QWidget *parent = nullptr);
    ~CLedsTestDlg() override;

    // The dialog's command entry (id | notification << 16); returns whether a
    // handler ran.
    bool OnCommand(uint32_t wParam);

    // Any of the eight boxes: ScTestLEDs with the mask of all eight.
    void OnLedClicked();

protected:
    // Without a default button, Enter closes the dialog as OK would.
    void keyPressEvent(QKeyEvent *event) override;

private:
    tvx::MessageMap messages_;
};
