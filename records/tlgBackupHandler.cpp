#include "tlgBackupHandler.h"

#include "tlClock.h"
#include "tlDiagnostics.h"
#include "tleGameEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdint>

namespace {

// Backups are named after the second they were made, so that names sort by age.
const QString backupNamePattern = QStringLiteral("%1.tlgf");
const QString backupNameFilter = QStringLiteral("*.tlgf");
const QString noBackupLine = QStringLiteral("No backup (autosave) will be created.");

}

tlgBackupHandler::tlgBackupHandler(const tlClock &backupClock)
    : clock(backupClock)
    , dir(QString())
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (path.isEmpty()) {
        tl::diagnose("tlgBackupHandler::tlgBackupHandler",
                     {QStringLiteral("Warning, cannot get writable location."), noBackupLine});
        return;
    }
    if (QDir().mkpath(path) && QDir::setCurrent(path)) {
        backupsEnabled = true;
        return;
    }
    tl::diagnose("tlgBackupHandler::tlgBackupHandler",
                 {QStringLiteral("Warning, failed accessing directory to hold backup file."),
                  noBackupLine});
}

QStringList tlgBackupHandler::backupNames() const
{
    return dir.entryList(QStringList{backupNameFilter}, QDir::Files | QDir::NoDotAndDotDot,
                         QDir::Name | QDir::Reversed);
}

QString tlgBackupHandler::backupPath(const QString &name) const
{
    return dir.absolutePath() + QLatin1Char('/') + name;
}

bool tlgBackupHandler::backupGame(const tleGameEngine &engine)
{
    if (!backupsEnabled)
        return false;
    const QString name = backupNamePattern.arg(clock.secondsSinceEpoch());
    if (!engine.save(backupPath(name))) {
        tl::diagnose("tlgBackupHandler::backupGame",
                     {QStringLiteral("Warning, failed writing backup file.")});
        return false;
    }
    prune();
    return true;
}

void tlgBackupHandler::prune()
{
    if (!backupsEnabled)
        return;
    const QStringList names = backupNames();
    for (int i = maxBackups; i < names.size(); ++i)
        QFile::remove(backupPath(names.at(i)));
}

QVector<tlgBackupInfo> tlgBackupHandler::listBackups() const
{
    QVector<tlgBackupInfo> backups;
    if (!backupsEnabled)
        return backups;
    tleGameEngine engine;
    for (const QString &name : backupNames()) {
        const QString path = backupPath(name);
        QString layoutName;
        uint32_t checksum = 0;
        if (!engine.peek(path, layoutName, checksum))
            continue;
        // Many Linux file systems report no birth time; the last change is the next best.
        const QFileInfo file(path);
        QDateTime created = file.birthTime();
        if (!created.isValid())
            created = file.lastModified();
        backups.append({created, layoutName, path});
    }
    return backups;
}

bool tlgBackupHandler::latestBackup(tlgBackupInfo &info) const
{
    const QVector<tlgBackupInfo> backups = listBackups();
    if (backups.isEmpty())
        return false;
    info = backups.first();
    return true;
}
