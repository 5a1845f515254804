#include "tlFileSaver.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

// The kernel may still hold written data in its cache; only a sync tells whether the
// disk took it.
bool syncToDisk(QFileDevice &file, QString *reason)
{
#ifdef Q_OS_UNIX
    // EINVAL: a device or pipe, which has nothing to sync.
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0 && errno != EINVAL)
        return fail(reason, qt_error_string(errno));
#else
    Q_UNUSED(file)
    Q_UNUSED(reason)
#endif
    return true;
}

// QSaveFile needs a temporary file beside the target. When the folder refuses one but the
// file itself may be written, the file is rewritten where it is, yet only once the room
// for the new content is certain: a full disk then fails before any old byte changed.
bool overwriteInPlace(const QString &fileName, const QByteArray &content, QString *reason)
{
    // Unbuffered, so that no failed write lingers in a buffer to be retried later.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail(reason, file.errorString());
    const qint64 oldSize = file.size();
    if (content.size() > oldSize) {
        // Claim the room by growing the file at its end, past the old bytes.
        if (!file.seek(oldSize)
            || !tl::detail::writeThrough(file, content.mid(int(oldSize)), reason)) {
            file.resize(oldSize);
            return false;
        }
    }
    if (!file.seek(0) || !tl::detail::writeThrough(file, content, reason))
        return false;
    if (!file.resize(content.size()))
        return fail(reason, file.errorString());
    return syncToDisk(file, reason);
}

}

namespace tl {

namespace detail {

bool writeThrough(QIODevice &device, const QByteArray &content, QString *reason)
{
    // A device may take only part of a write; what it took is not written again.
    qint64 written = 0;
    while (written < content.size()) {
        const qint64 count = device.write(content.constData() + written, content.size() - written);
        if (count <= 0) {
            return fail(reason, QStringLiteral("%1 (%2 of %3 bytes written)")
                                    .arg(device.errorString(), QString::number(written),
                                         QString::number(content.size())));
        }
        written += count;
    }
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (!file)
        return true;
    // A buffered file learns of a full disk only here, when its buffer goes out.
    if (!file->flush() || file->error() != QFileDevice::NoError)
        return fail(reason, file->errorString());
    return syncToDisk(*file, reason);
}

}

bool saveFile(const QString &fileName, const QByteArray &content, QString *reason)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo target(fileName);
        const bool folderWritable = QFileInfo(target.absolutePath()).isWritable();
        if (target.isFile() && target.isWritable() && !folderWritable)
            return overwriteInPlace(fileName, content, reason);
        return fail(reason, file.errorString());
    }
    if (!detail::writeThrough(file, content, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(reason, file.errorString());
    return true;
}

}
