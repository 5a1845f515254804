#ifndef TLDIAGNOSTICS_H
#define TLDIAGNOSTICS_H

#include <QStringList>

namespace tl {

// Writes a diagnostic to standard output: "origin(): " before the first line, the
// following lines indented to stand under it; every line is flushed at once so that
// the messages survive a crash. `origin` is "Class::operation".
void diagnose(const char *origin, const QStringList &lines);

}

#endif
