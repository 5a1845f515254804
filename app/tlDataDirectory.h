#ifndef TLDATADIRECTORY_H
#define TLDATADIRECTORY_H

#include <QDir>
#include <QStringList>

// The places searched for an installed data directory ("layouts", "tiles", "docs"),
// in the order they are tried.
QStringList dataDirectoryCandidates(const QString &name);

// The first candidate that exists; a QDir on an empty path (the current directory)
// when none does. Callers test exists() and decide what a missing one means.
QDir findDataDirectory(const QString &name);
QDir findDataDirectory(const char *name);

#endif
