// "Load Melody ...": the user picks a melody file, its data lines become
// bytes, and the adapter gets them in one ScUploadMelody call. UI thread only.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace tvx {

class EventLog;

// The file-open dialog, called as QFileDialog::getOpenFileName is: owner,
// title, initial directory, filter. Returns the chosen path, or an empty
// string when the user cancels.
using MelodyFileDialog =
    std::function<QString(QWidget *owner, const QString &title, const QString &directory, const QString &filter)>;

class MelodyUpload {
public:
    // owner owns the file dialog, log takes the outcome; fileDialog asks for
    // the file (tests answer it themselves), an empty one is the platform's
    // QFileDialog.
    MelodyUpload(QWidget &owner, EventLog &log, MelodyFileDialog fileDialog = {});

    // Asks for a file ("UpLoad Melody", the melody filter, the root directory
    // every time). Cancel: nothing happens. A file that cannot be opened or
    // read logs "Cannot read melody file.", one of more than 256 data lines
    // "Melody file too long." (lines of any length are fine; the file is
    // read in pieces), and nothing is sent. Otherwise the bytes go to
    // ScUploadMelody (also a count of 0) and result 0 logs
    // "Melody succesfully loaded.".
    void OnLoadMelody();

private:
    QWidget &owner_;
    EventLog &log_;
    MelodyFileDialog fileDialog_;
};

}  // namespace tvx
