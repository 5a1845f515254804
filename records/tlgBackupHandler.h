#ifndef TLGBACKUPHANDLER_H
#define TLGBACKUPHANDLER_H

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QVector>

class tlClock;
class tleGameEngine;

// One backup file as the "recent games" choice shows it.
struct tlgBackupInfo
{
    QDateTime created;
    QString layoutName;
    QString path;  // absolute
};

// Keeps the latest newly dealt games as files in the application's data folder, so that
// the player can take up a recent game again.
//
// Setting up makes the backup folder the process's current directory: later relative
// paths then resolve against it, and `dir`, built from an empty path, always denotes it.
class tlgBackupHandler
{
public:
    // Backups beyond this number are removed, oldest first.
    static constexpr int maxBackups = 10;

    // Backups are named by the `clock`'s second they were made in.
    explicit tlgBackupHandler(const tlClock &clock);

    // False when the backup folder could not be set up; nothing is then written or listed.
    bool enabled() const { return backupsEnabled; }

    bool backupGame(const tleGameEngine &engine);
    // Valid backups, newest first.
    QVector<tlgBackupInfo> listBackups() const;
    bool latestBackup(tlgBackupInfo &info) const;

private:
    QStringList backupNames() const;
    QString backupPath(const QString &name) const;
    void prune();

    const tlClock &clock;
    QDir dir;
    bool backupsEnabled = false;
};

#endif
