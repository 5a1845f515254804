#include "tlgGameFileDialogs.h"

#include <QDir>
#include <QFileDialog>

QString tlgGameFileDialogs::startFolder(const QString &remembered)
{
    return !remembered.isEmpty() && QDir(remembered).exists() ? remembered : QDir::homePath();
}

QString tlgGameFileDialogs::gameToOpen(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, tr("Tilvane - Open Game"), startFolder(folder),
                                        tr("Game Files (*.tlgf);;Text files (*.txt);;XML files (*.xml)"));
}

QString tlgGameFileDialogs::gameToSave(QWidget *parent, const QString &folder, const QDateTime &now)
{
    const QString proposed =
        startFolder(folder) + now.toString(QStringLiteral("'/tilv_'yyyy_MM_dd_HH_mm'.tlgf'"));
    QFileDialog dialog(parent, tr("Tilvane - Save Game"), proposed, tr("Game file (*.tlgf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name without the extension would be hidden from the Open dialog.
    dialog.setDefaultSuffix(QStringLiteral("tlgf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString tlgGameFileDialogs::layoutToOpen(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, tr("Tilvane - Find Layout"), startFolder(folder),
                                        tr("Layout Files (*.tllf);;Text files (*.txt);;XML files (*.xml)"));
}

QString tlgGameFileDialogs::folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}
