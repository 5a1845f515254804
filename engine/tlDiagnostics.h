#ifndef TLDIAGNOSTICS_H
#define TLDIAGNOSTICS_H

#include <QStringList>

class QXmlStreamReader;

namespace tl {

// Writes a diagnostic to standard output: "origin(): " before the first line, the
// following lines indented to stand under it; every line is flushed at once so that
// the messages survive a crash. `origin` is "Class::operation".
void diagnose(const char *origin, const QStringList &lines);

// The three lines that tell that a file could not be read as a `what` ("Layout",
// "Game"), with the XML reader's error and where it stopped.
void diagnoseDamagedFile(const char *origin, const QString &fileName, const QString &what,
                         const QXmlStreamReader &xml);

}

#endif
