#include "tldRecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tldRecentFiles {

QStringList remember(QStringList files, const QString &path, int limit)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&absolute](const QString &file) {
                                   return QDir::cleanPath(QFileInfo(file).absoluteFilePath())
                                       == absolute;
                               }),
                files.end());
    files.prepend(absolute);
    return files.mid(0, std::max(limit, 0));
}

}
