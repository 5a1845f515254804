#include "tlVersion.h"
#include "tlcCommandParser.h"
#include "tlcCommands.h"

#include <QCoreApplication>

namespace {

struct Command
{
    const char *name;
    const char *usage;
    const char *summary;
    int (*run)(const QStringList &arguments);
};

const Command commands[] = {
    {"check", "check LAYOUT", "Reads a layout and tells whether a board can be built from it.",
     tlc::runCheck},
    {"deal", "deal LAYOUT --seed N [--winnable] -o GAME.tlgf",
     "Deals a game on a layout and saves it.", tlc::runDeal},
    {"solve", "solve GAME.tlgf --iterations N [--seed N]",
     "Searches a saved game for a solution by random plays.", tlc::runSolve},
    {"analyze", "analyze GAME.tlgf [--limit N]",
     "Decides by an exact search whether a saved game can be cleared.", tlc::runAnalyze},
    {"survey", "survey LAYOUT... --deals N [--seed S] [--threads T] [--limit N] [--list]",
     "Deals random games and tells how many can be cleared, and how fast that is known.",
     tlc::runSurvey},
};

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString overview()
{
    QString text = QStringLiteral("Command-line companion of %1 for layout authors and "
                                  "scripts.\n\nCommands:\n")
                       .arg(QLatin1String(tl::productName));
    for (const Command &command : commands)
        text += QStringLiteral("  %1\n      %2\n")
                    .arg(QLatin1String(command.usage), QLatin1String(command.summary));
    text += QStringLiteral(
        "\nLAYOUT is a layout file or the name of a built-in or registered layout.\n"
        "'%1 COMMAND --help' describes a command's options.\n\n"
        "Exit codes: 0 done (for solve: solved; for analyze: winnable), 1 error, 3 solve found "
        "no solution (for analyze: not winnable), 4 analyze reached its limit (unknown).")
                .arg(QCoreApplication::applicationName());
    return text;
}

// Without a command only --help and --version mean anything.
int runWithoutCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(overview());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("COMMAND"),
                                 QStringLiteral("check, deal, solve, analyze or survey."),
                                 QStringLiteral("COMMAND [ARGUMENTS]"));
    if (!parser.parse(arguments))
        return tlc::fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(tlc::exitSuccess);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    return tlc::fail(QStringLiteral("no command given. Try '%1 --help'.")
                         .arg(QCoreApplication::applicationName()));
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tilvane-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tl::version));

    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    if (first.isEmpty() || first.startsWith(QLatin1Char('-')))
        return runWithoutCommand(arguments);
    const Command *command = findCommand(first);
    if (!command) {
        return tlc::fail(QStringLiteral("unknown command '%1'. Try '%2 --help'.")
                             .arg(first, QCoreApplication::applicationName()));
    }
    return command->run(arguments);
}
