#include "dialogs/MelodyUpload.h"

#include "device/Adapter.h"
#include "device/Latin1.h"
#include "dialogs/logic/MelodyParser.h"
#include "log/EventLog.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <string_view>
#include <utility>

namespace tvx {

namespace {

QString PlatformFileDialog(QWidget *owner, const QString &title, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, title, directory, filter);
}

// Reads the file piece by piece into reader, in bounded memory, until its
// end or until it proves too long. Only regular files are read: a directory,
// a device or a pipe could never end or never open. False if it cannot be
// opened or read.
bool ReadMelodyFile(const QString &path, MelodyReader &reader)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kChunk = 64 * 1024;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    while (!reader.TooLong()) {
        const qint64 read = file.read(chunk.data(), kChunk);
        if (read < 0 || file.error() != QFileDevice::NoError)
            return false;
        if (read == 0)
            return true;
        reader.Feed({chunk.constData(), static_cast<size_t>(read)});
    }
    return true;
}

}  // namespace

MelodyUpload::MelodyUpload(QWidget &owner, EventLog &log, MelodyFileDialog fileDialog)
    : owner_(owner), log_(log), fileDialog_(fileDialog ? std::move(fileDialog) : MelodyFileDialog(PlatformFileDialog))
{
}

void MelodyUpload::OnLoadMelody()
{
    const QString path = fileDialog_(&owner_, Latin1(kMelodyDialogTitle), QDir::rootPath(), Latin1(kMelodyFileFilter));
    if (path.isEmpty())
        return;

    MelodyReader reader;
    if (!ReadMelodyFile(path, reader)) {
        log_.Insert(Latin1(kMelodyCannotReadLine));
        return;
    }
    // The parsed melody is the 256-byte buffer handed to the library.
    const ParsedMelody melody = reader.Finish();
    if (melody.status == MelodyStatus::TooLong) {
        log_.Insert(Latin1(kMelodyTooLongLine));
        return;
    }
    if (adapter::UploadMelody(melody.bytes.data(), melody.count) == 0)
        log_.Insert(Latin1(kMelodyLoadedLine));
}

}  // namespace tvx
