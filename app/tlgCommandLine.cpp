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

// The command line's options, described once for both readings of it.
struct Options
{
    QCommandLineOption build;
};

Options describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        tlgCommandLine::tr("Tilvane, a Solitaire Version of the Classic Eastern Game"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption build(QStringList{QStringLiteral("b"), QStringLiteral("build")},
                                   tlgCommandLine::tr("Date of build"));
    parser.addOption(build);
    parser.addPositionalArgument(QStringLiteral("game"), tlgCommandLine::tr("Game file to load"));
    return {build};
}

void printLine(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

}

void tlgCommandLine::answerWithoutWindow(const QStringList &arguments)
{
    QCommandLineParser parser;
    const Options options = describe(parser);
    // Ends the process for --help, --version and mistakes.
    parser.process(arguments);
    if (parser.isSet(options.build)) {
        printLine(buildLine());
        std::exit(EXIT_SUCCESS);
    }
}

QString tlgCommandLine::process(const QStringList &arguments, QWidget *parent)
{
    QCommandLineParser parser;
    const Options options = describe(parser);
    parser.process(arguments);

    if (parser.isSet(options.build)) {
        printLine(buildLine());
        std::exit(EXIT_SUCCESS);
    }

    const QStringList positional = parser.positionalArguments();
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
