#include "dialogs/MelodyUpload.h"

#include "app/host/DialogHost.h"
#include "device/Adapter.h"
#include "device/EventLog.h"
#include "device/Latin1.h"
#include "dialogs/logic/MelodyParser.h"

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

MelodyFileDialog &FileDialog()
{
    static MelodyFileDialog dialog = PlatformFileDialog;
    return dialog;
}

enum class ReadResult {
    Ok,
    Unreadable,
    TooLarge
};

// Reads the whole file, up to kMelodyFileMaxBytes. Only regular files are
// read: a directory, a device or a pipe could never end or never open.
ReadResult ReadMelodyFile(const QString &path, QByteArray &contents)
{
    if (!QFileInfo(path).isFile())
        return ReadResult::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    constexpr int64_t kChunk = 64 * 1024;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (file.error() != QFileDevice::NoError)
            return ReadResult::Unreadable;
        if (chunk.isEmpty())
            return ReadResult::Ok;
        contents.append(chunk);
        if (contents.size() > kMelodyFileMaxBytes)
            return ReadResult::TooLarge;
    }
}

}  // namespace

MelodyUpload::MelodyUpload(DialogHost &host) : host_(host) {}

MelodyFileDialog MelodyUpload::SetFileDialog(MelodyFileDialog dialog)
{
    if (!dialog)
        dialog = PlatformFileDialog;
    return std::exchange(FileDialog(), std::move(dialog));
}

void MelodyUpload::OnLoadMelody()
{
    const QString path =
        FileDialog()(host_.Window(), Latin1(kMelodyDialogTitle), QDir::rootPath(), Latin1(kMelodyFileFilter));
    if (path.isEmpty())
        return;

    QByteArray contents;
    switch (ReadMelodyFile(path, contents)) {
    case ReadResult::Unreadable:
        host_.Log().Insert(Latin1(kMelodyCannotReadLine));
        return;
    case ReadResult::TooLarge:
        host_.Log().Insert(Latin1(kMelodyTooLongLine));
        return;
    case ReadResult::Ok:
        break;
    }

    // The parsed melody is the 256-byte buffer handed to the library.
    const ParsedMelody melody = ParseMelodyFile({contents.constData(), static_cast<size_t>(contents.size())});
    if (melody.status == MelodyStatus::TooLong) {
        host_.Log().Insert(Latin1(kMelodyTooLongLine));
        return;
    }
    if (adapter::UploadMelody(melody.bytes.data(), melody.count) == 0)
        host_.Log().Insert(Latin1(kMelodyLoadedLine));
}

}  // namespace tvx
