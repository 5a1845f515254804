#ifndef TLCCOMMANDS_H
#define TLCCOMMANDS_H

#include <QStringList>

class tleGameEngine;

// The commands; each takes the whole command line and returns the exit code.
namespace tlc {

int runCheck(const QStringList &arguments);
int runDeal(const QStringList &arguments);
int runSolve(const QStringList &arguments);
int runAnalyze(const QStringList &arguments);
int runSurvey(const QStringList &arguments);

// Makes in `engine` the deal that `deal` saves for a layout and seed; the reason when
// that cannot be done, else an empty string.
QString dealGame(tleGameEngine &engine, const QString &layoutPath, quint32 seed, bool winnable);

// Opens a game file with the layout it names; false after a message on standard error.
bool openGame(tleGameEngine &engine, const QString &gameFile);

}

#endif
