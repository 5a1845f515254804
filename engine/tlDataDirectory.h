#ifndef TLDATADIRECTORY_H
#define TLDATADIRECTORY_H

#include <QDir>
#include <QStringList>

// The places searched for an installed data directory ("layouts", "tiles", "docs"),
// in the order they are tried. The first is the developer's data folder: the one
// named by the environment variable TILVANE_DATA_DIR when it is set, else the source
// tree's data folder the build was configured with, but only for a program started
// from the build's own output folder: an installed program skips it.
QStringList dataDirectoryCandidates(const QString &name);

// The first candidate that exists; a QDir on an empty path (the current directory)
// when none does. Callers test exists() and decide what a missing one means.
QDir findDataDirectory(const QString &name);
QDir findDataDirectory(const char *name);

// Whether a result of findDataDirectory is a directory that was found. The empty path
// of "none found" denotes the current directory, which always exists, so exists()
// alone cannot tell.
bool dataDirectoryFound(const QDir &dir);

#endif
