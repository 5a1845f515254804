#ifndef TLGCOMMANDLINE_H
#define TLGCOMMANDLINE_H

#include <QCoreApplication>
#include <QString>

class QWidget;

// The program's command line: help, version, the build date and one game file.
class tlgCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(tlgCommandLine)

public:
    // Parses the application's arguments. --help, --version and --build print their
    // answer and end the process. Returns the game file to load as an absolute path
    // (the backup folder becomes the current directory later on, so a relative name
    // would no longer resolve), or an empty string; a file without the game extension
    // is refused with a warning shown over `parent`.
    static QString process(const QStringList &arguments, QWidget *parent);

    // Answers --help, --version and --build before anything graphical starts, so that
    // they work without a display; each ends the process. Returns otherwise, leaving Qt's
    // own options and mistakes to the application object and to process().
    static void answerWithoutWindow(const QStringList &arguments);

    static QString buildLine();
    static bool hasGameFileExtension(const QString &fileName);
    static QString refusedFileMessage(const QString &fileName);
};

#endif
