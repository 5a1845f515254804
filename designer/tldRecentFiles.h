#ifndef TLDRECENTFILES_H
#define TLDRECENTFILES_H

#include <QString>
#include <QStringList>

// The list of recently used layout files, newest first.
namespace tldRecentFiles {

// `path` first, no second entry of the same file, at most `limit` entries (none for a
// limit of 0 or less).
QStringList remember(QStringList files, const QString &path, int limit);

}

#endif
