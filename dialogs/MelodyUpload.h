// "Load Melody ...": the user picks a melody file, its data lines become
// bytes, and the adapter gets them in one ScUploadMelody call. UI thread only.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace tvx {

class DialogHost;

// The file-open dialog, called as QFileDialog::getOpenFileName is: owner,
// title, initial directory, filter. Returns the chosen path, or an empty
// string when the user cancels.
using MelodyFileDialog =
    std::function<QString(QWidget *owner, const QString &title, const QString &directory, const QString &filter)>;

class MelodyUpload {
public:
    explicit MelodyUpload(DialogHost &host);

    // Asks for a file ("UpLoad Melody", the melody filter, the root directory
    // every time). Cancel: nothing happens. A file that cannot be opened or
    // read logs "Cannot read melody file.", one of more than 256 data lines
    // "Melody file too long." (lines of any length are fine; the file is
    // read in pieces), and nothing is sent. Otherwise the bytes go to
    // ScUploadMelody (also a count of 0) and result 0 logs
    // "Melody succesfully loaded.".
    void OnLoadMelody();

    // The file dialog every "Load Melody ..." uses; an empty function puts
    // the platform's QFileDialog back. Returns the one it replaces.
    static MelodyFileDialog SetFileDialog(MelodyFileDialog dialog);

private:
    DialogHost &host_;
};

}  // namespace tvx
