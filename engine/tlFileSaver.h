#ifndef TLFILESAVER_H
#define TLFILESAVER_H

#include <QByteArray>
#include <QString>

class QIODevice;

namespace tl {

// Replaces `fileName` by `content`. The old file stays whole unless every byte of the new
// one reached the disk; on failure `*reason` tells why in a few words.
bool saveFile(const QString &fileName, const QByteArray &content, QString *reason = nullptr);

namespace detail {

// Writes all of `content` at the device's position and, for a file, flushes it and
// syncs it to the disk. False as soon as a step falls short.
bool writeThrough(QIODevice &device, const QByteArray &content, QString *reason);

}

}

#endif
