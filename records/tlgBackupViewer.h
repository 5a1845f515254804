#ifndef TLGBACKUPVIEWER_H
#define TLGBACKUPVIEWER_H

#include "tlgBackupHandler.h"

#include <QDialog>
#include <QString>
#include <QVector>

class QDialogButtonBox;
class QTableWidget;

// The "Recent Games" choice: lists the backups of newly dealt games and asks the main
// window to load the one the player picks.
class tlgBackupViewer : public QDialog
{
    Q_OBJECT

public:
    explicit tlgBackupViewer(QWidget *parent);

    // Shows the handler's current backups, newest first.
    void updateBackupList(const tlgBackupHandler &handler);

signals:
    void loadGameFromFile(const QString &path);

public slots:
    // Loads the selected backup, if any, and closes the choice either way.
    void restoreGame();

private:
    QTableWidget *table = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
    QVector<tlgBackupInfo> backups;  // row i shows element i
};

#endif
