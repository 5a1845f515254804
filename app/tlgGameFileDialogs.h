#ifndef TLGGAMEFILEDIALOGS_H
#define TLGGAMEFILEDIALOGS_H

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

class QWidget;

// The file dialogs of the game's life cycle. Each starts in the remembered folder
// while it exists, else in the home folder (the current directory is the backup
// folder, no place to open or save games from), and gives an empty name when cancelled.
class tlgGameFileDialogs
{
    Q_DECLARE_TR_FUNCTIONS(tlgGameFileDialogs)

public:
    static QString gameToOpen(QWidget *parent, const QString &folder);
    // Proposes a name made of the time `now`; a name typed without the extension gets it.
    static QString gameToSave(QWidget *parent, const QString &folder, const QDateTime &now);
    static QString layoutToOpen(QWidget *parent, const QString &folder);

    // The folder part of a path, without its last separator; empty for a bare name.
    static QString folderOf(const QString &path);

private:
    static QString startFolder(const QString &remembered);
};

#endif
