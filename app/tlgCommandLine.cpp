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

QString tlgCommandLine::process(const QStringList &arguments, QWidget *parent)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Tilvane, a Solitaire Version of the Classic Eastern Game"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption buildOption(QStringList{QStringLiteral("b"), QStringLiteral("build")},
                                         tr("Date of build"));
    parser.addOption(buildOption);
    parser.addPositionalArgument(QStringLiteral("game"), tr("Game file to load"));
    parser.process(arguments);

    if (parser.isSet(buildOption)) {
        std::printf("%s\n", qPrintable(buildLine()));
        std::fflush(stdout);
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
