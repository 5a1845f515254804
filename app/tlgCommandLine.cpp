#include "tlgCommandLine.h"

#include "tlVersion.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

QString tlgCommandLine::buildLine()
{
    return QStringLiteral("Build on " __DATE__ " " __TIME__);
}

bool tlgCommandLine::hasGameFileExtension(const QString &fileName)
{
    return fileName.endsWith(QStringLiteral(".tlgf"), Qt::CaseSensitive);
}

QString tlgCommandLine::refusedFileMessage(const QString &fileName)
{
    return tr("Cannot load file '%1'. Not the right type (extension).").arg(fileName);
}

namespace {

// Describes the command line to `parser`; returns the build-date option.
QCommandLineOption describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        tlgCommandLine::tr("Tilvane, a Solitaire Version of the Classic Eastern Game"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption build(QStringList{QStringLiteral("b"), QStringLiteral("build")},
                                   tlgCommandLine::tr("Date of build"));
    parser.addOption(build);
    parser.addPositionalArgument(QStringLiteral("game"), tlgCommandLine::tr("Game file to load"));
    return build;
}

[[noreturn]] void answerBuild()
{
    std::printf("%s\n", qPrintable(tlgCommandLine::buildLine()));
    std::fflush(stdout);
    std::exit(EXIT_SUCCESS);
}

// Parses the command line, ending the process for --help, --version, --build and
// mistakes; returns the positional arguments otherwise.
QStringList gameArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption build = describe(parser);
    parser.process(arguments);
    if (parser.isSet(build))
        answerBuild();
    return parser.positionalArguments();
}

}

void tlgCommandLine::answerWithoutWindow(const QStringList &arguments)
{
    // Qt's own options (-platform, -style, -reverse, ...) are still among the arguments
    // here: only the graphical application object takes them out. Read as long options,
    // "-reverse" cannot pass for "-r -e -v ..."; anything unknown is left to process().
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption build = describe(parser);
    parser.parse(arguments);
    // The same order as QCommandLineParser::process().
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(build))
        answerBuild();
}

QString tlgCommandLine::process(const QStringList &arguments, QWidget *parent)
{
    const QStringList positional = gameArguments(arguments);
    const QString gameFile = positional.isEmpty() ? QString() : positional.first();
    if (gameFile.isEmpty())
        return QString();
    if (!hasGameFileExtension(gameFile)) {
        QMessageBox::warning(parent, QString::fromLatin1(tl::productName),
                             refusedFileMessage(gameFile), QMessageBox::Ok);
        return QString();
    }
    return QFileInfo(gameFile).absoluteFilePath();
}
