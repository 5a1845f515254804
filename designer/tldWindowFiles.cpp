#include "tldWindow.h"

#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlUserLayoutCheck.h"
#include "tldGridView.h"
#include "tldRecentFiles.h"
#include "tldSharedSettings.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace {

const QString layoutSuffix = QStringLiteral("tllf");

// A remembered folder that is gone would leave the chooser somewhere arbitrary.
QString startFolder(const QString &remembered)
{
    return !remembered.isEmpty() && QDir(remembered).exists() ? remembered : QDir::homePath();
}

}

bool tldWindow::maySetLayoutAside()
{
    if (!layout->isModified())
        return true;
    const auto answer = QMessageBox::warning(
        this, boxTitle(),
        tr("The layout '%1' has changes that are not saved. Save them?").arg(layoutTitle()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void tldWindow::newLayout()
{
    if (!maySetLayoutAside())
        return;
    layout->clear();
    board->setCurrentLayer(1);
}

void tldWindow::chooseAndOpen()
{
    if (!maySetLayoutAside())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Tilvane - Open Layout"), startFolder(tlSettings::instance().openFileDirectory),
        tr("Layout Files (*.tllf);;All Files (*)"));
    if (path.isEmpty())
        return;
    tlSettings::instance().openFileDirectory = QFileInfo(path).absolutePath();
    openFile(path);
}

bool tldWindow::openFile(const QString &path)
{
    const tldLayoutFile::Reading reading = layout->open(path);
    if (!reading.ok) {
        QMessageBox::warning(this, boxTitle(),
                             tr("%1\nThe layout shown stays as it was.").arg(reading.problem));
        return false;
    }
    board->setCurrentLayer(layout->highestLayer());
    rememberFile(path);
    if (!reading.note.isEmpty())
        QMessageBox::information(this, boxTitle(), reading.note);
    return true;
}

void tldWindow::openBuiltIn(const QString &name)
{
    if (!maySetLayoutAside())
        return;
    const QString path = tlLayoutLocator::layoutsDirectory().filePath(name + QLatin1Char('.') + layoutSuffix);
    const tldLayoutFile::Reading reading = layout->openAsTemplate(path);
    if (!reading.ok) {
        QMessageBox::warning(this, boxTitle(), reading.problem);
        return;
    }
    board->setCurrentLayer(layout->highestLayer());
    tell(tr("A copy of '%1': give it a name of its own before you save it.").arg(name));
}

bool tldWindow::save()
{
    return layout->fileName().isEmpty() ? saveAs() : saveTo(layout->fileName());
}

bool tldWindow::saveAs()
{
    const QString refusal = layout->saveProblem();
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, boxTitle(), refusal);
        return false;
    }
    const QString folder = startFolder(tlSettings::instance().saveFileDirectory);
    const QString suggested = layout->fileName().isEmpty()
        ? QDir(folder).filePath(layout->name().trimmed() + QLatin1Char('.') + layoutSuffix)
        : layout->fileName();
    QFileDialog chooser(this, tr("Tilvane - Save Layout"), QString(), tr("Layout Files (*.tllf)"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(layoutSuffix);
    chooser.selectFile(suggested);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return false;
    return saveTo(chooser.selectedFiles().constFirst());
}

bool tldWindow::saveTo(const QString &path)
{
    const QString refusal = layout->saveProblem();
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, boxTitle(), refusal);
        return false;
    }
    QString problem;
    if (!layout->save(path, &problem)) {
        QMessageBox::critical(this, boxTitle(), problem);
        return false;
    }
    tlSettings::instance().saveFileDirectory = QFileInfo(path).absolutePath();
    rememberFile(path);
    tell(layout->isVerified()
             ? tr("Saved as a verified layout.")
             : tr("Saved, not verified: Tilvane plays the layout once it is verified and saved again."));
    return true;
}

void tldWindow::rememberFile(const QString &path)
{
    tlSettings &settings = tlSettings::instance();
    settings.recentLayoutFiles = tldRecentFiles::remember(settings.recentLayoutFiles, path,
                                                          settings.maxRecentLayoutFiles);
    fillRecentFiles();
    rememberSettings();
}

void tldWindow::fillRecentFiles()
{
    QMenu *menu = commands->recentFiles;
    menu->clear();
    for (const QString &path : tlSettings::instance().recentLayoutFiles) {
        // Files that have gone since are left out, not offered to fail.
        if (!QFileInfo(path).isFile())
            continue;
        QAction *entry = menu->addAction(QFileInfo(path).fileName());
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] {
            if (maySetLayoutAside())
                openFile(path);
        });
    }
    menu->setEnabled(!menu->isEmpty());
}

void tldWindow::tryInGame()
{
    if (layout->fileName().isEmpty() || layout->isModified()) {
        const auto answer = QMessageBox::question(
            this, boxTitle(), tr("Tilvane plays layouts from their files. Save the layout now?"),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save);
        if (answer != QMessageBox::Save || !save())
            return;
    }
    if (!layout->isVerified()) {
        QMessageBox::information(this, boxTitle(),
                                 tr("Tilvane plays only verified layouts. Verify the layout, save "
                                    "it, and try again."));
        return;
    }
    const QString path = QFileInfo(layout->fileName()).absoluteFilePath();
    QString name;
    QString problem;
    bool known = false;
    // The game's list of the player's layouts is read afresh: it may have changed since.
    const bool written = tldSharedSettings::save([&](tlSettings &settings) {
        known = QFileInfo(settings.userLayoutFile(layout->name())) == QFileInfo(path);
        if (known) {
            name = layout->name();
        } else {
            problem = tlUserLayoutCheck::problem(path, &name);
            if (problem.isEmpty())
                tlUserLayoutCheck::add(name, path);
        }
        if (problem.isEmpty())
            settings.layoutName = name;
    });
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, boxTitle(), problem);
        return;
    }
    if (!written) {
        QMessageBox::warning(this, boxTitle(),
                             tr("The settings could not be saved to '%1', so Tilvane cannot learn "
                                "of the layout.").arg(tlSettings::instance().storeFileName()));
        return;
    }
    QMessageBox::information(
        this, boxTitle(),
        (known ? tr("'%1' is already one of Tilvane's layouts.")
               : tr("'%1' is now one of Tilvane's layouts."))
                .arg(name)
            + QLatin1Char(' ')
            + tr("Tilvane plays it the next time it starts. If Tilvane is running now, close "
                 "it and choose Try in Tilvane again: a running Tilvane writes back its own "
                 "list of layouts when it closes."));
}
