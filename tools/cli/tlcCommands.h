#ifndef TLCCOMMANDS_H
#define TLCCOMMANDS_H

#include <QStringList>

// The commands; each takes the whole command line and returns the exit code.
namespace tlc {

int runCheck(const QStringList &arguments);
int runDeal(const QStringList &arguments);
int runSolve(const QStringList &arguments);

}

#endif
