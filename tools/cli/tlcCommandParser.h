#ifndef TLCCOMMANDPARSER_H
#define TLCCOMMANDPARSER_H

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <limits>

namespace tlc {

// What the process tells its caller; scripts rely on these values.
enum ExitCode : int {
    exitSuccess = 0,
    exitFailure = 1,
    exitNotSolved = 3,
    exitUndecided = 4,
};

inline constexpr quint32 largestSeed = std::numeric_limits<quint32>::max();
// The engine counts plays in an int.
inline constexpr quint32 largestPlayCount = quint32(std::numeric_limits<int>::max());

// Standard output for results; every line is flushed so that it keeps its place among
// the engine's own diagnostics, which go there too.
QTextStream &out();

// Prints "program: message" on standard error and returns exitFailure.
int fail(const QString &message);

// Finds a layout given as a file path, a built-in layout's name or the name of a layout
// the player registered. Prints the reason and returns an empty string when none fits.
QString resolveLayout(const QString &argument);

QString layoutArgumentDescription();
QCommandLineOption seedOption(const QString &description);

// Reads the player's registered layouts once, as the game does at start-up, and lets the
// layout locator find them.
void loadUserLayouts();

}

// The parser of one command. The command's name is the first positional argument, so
// that the usage line reads as the command is typed; a program without commands gives
// an empty name and has its own arguments parsed. Every mistake is reported on
// standard error.
class tlcCommandParser
{
public:
    tlcCommandParser(const QString &command, const QString &description);

    void addArgument(const QString &name, const QString &description, bool optional = false);
    // The last argument, given once or more.
    void addRepeatedArgument(const QString &name, const QString &description);
    void addOption(const QCommandLineOption &option);

    // Answers --help at once (the process ends); false after a reported mistake.
    bool parse(const QStringList &arguments);

    bool isSet(const QCommandLineOption &option) const;
    QString value(const QCommandLineOption &option) const;
    // The index-th argument after the command's name, if any; empty when not given.
    QString argument(int index) const;
    // The arguments from the index-th on.
    QStringList argumentsFrom(int index) const;
    // False, with a message, when a required option is missing.
    bool require(const QCommandLineOption &option) const;
    // Reads a whole number from low to high; `number` stays as it is when the option is
    // not given. False, with a message, for anything else.
    bool readNumber(const QCommandLineOption &option, quint32 low, quint32 high,
                    quint32 &number) const;

private:
    // Who the messages speak of: the command, or the program that has none.
    QString subject() const;

    QString commandName;
    int commandWords = 0;
    QStringList argumentNames;
    int requiredArguments = 0;
    bool lastRepeats = false;
    QCommandLineParser parser;
};

#endif
