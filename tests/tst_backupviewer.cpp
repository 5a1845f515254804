#include "tlLayoutLocator.h"
#include "tlClock.h"
#include "tlTestEnvironment.h"
#include "tleGameEngine.h"
#include "tlgBackupHandler.h"
#include "tlgBackupViewer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

const int olderBackups = 3;
// File names are the seconds of creation; these sort before any backup made today.
const qint64 longAgo = 1000000000;

QString backupLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem *item = table->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

}

class BackupViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listsBackups();
    void openWithoutSelectionOnlyHides();
    void openLoadsSelectedRow();
    void doubleClickLoadsThatRow();
    void emptyFolderGivesEmptyTable();

private:
    // Three old backups and one made now: four rows, newest first.
    void makeBackups();
    void click(QDialogButtonBox::StandardButton which);

    QTableWidget *table() const { return viewer->findChild<QTableWidget *>(); }

    std::unique_ptr<tlgBackupHandler> handler;
    std::unique_ptr<tlgBackupViewer> viewer;
};

void BackupViewerTest::init()
{
    QDir folder(backupLocation());
    for (const QString &name : folder.entryList(QDir::Files))
        QVERIFY(folder.remove(name));
    handler = std::make_unique<tlgBackupHandler>(tlClock::system());
    QVERIFY(handler->enabled());
    viewer = std::make_unique<tlgBackupViewer>(nullptr);
}

void BackupViewerTest::makeBackups()
{
    tleGameEngine engine;
    QVERIFY(engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    engine.seed(5);
    engine.shuffleTiles();
    for (int i = 1; i <= olderBackups; ++i)
        QVERIFY(engine.save(QStringLiteral("%1/%2.tlgf").arg(backupLocation()).arg(longAgo + i)));
    QVERIFY(handler->backupGame(engine));
    QCOMPARE(handler->listBackups().size(), olderBackups + 1);
    viewer->updateBackupList(*handler);
}

void BackupViewerTest::click(QDialogButtonBox::StandardButton which)
{
    auto *buttons = viewer->findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QPushButton *button = buttons->button(which);
    QVERIFY(button);
    button->click();
}

void BackupViewerTest::listsBackups()
{
    makeBackups();
    const QVector<tlgBackupInfo> backups = handler->listBackups();
    QCOMPARE(table()->rowCount(), backups.size());
    for (int row = 0; row < backups.size(); ++row) {
        QCOMPARE(rowTexts(table(), row),
                 (QStringList{QString::number(row + 1),
                              backups.at(row).created.toString(Qt::TextDate),
                              QStringLiteral("Turtle")}));
    }
    // Rows can be chosen, but nothing in them edited.
    const QTableWidgetItem *item = table()->item(0, 1);
    QVERIFY(item->flags() & Qt::ItemIsSelectable);
    QVERIFY(!(item->flags() & Qt::ItemIsEditable));

    // A later, shorter list leaves no stale rows behind.
    QVERIFY(QFile::remove(backups.last().path));
    viewer->updateBackupList(*handler);
    QCOMPARE(table()->rowCount(), backups.size() - 1);
}

void BackupViewerTest::openWithoutSelectionOnlyHides()
{
    makeBackups();
    QSignalSpy loads(viewer.get(), &tlgBackupViewer::loadGameFromFile);
    viewer->show();
    click(QDialogButtonBox::Open);
    QVERIFY(!viewer->isVisible());
    QCOMPARE(loads.count(), 0);
}

void BackupViewerTest::openLoadsSelectedRow()
{
    makeBackups();
    QSignalSpy loads(viewer.get(), &tlgBackupViewer::loadGameFromFile);
    viewer->show();
    table()->selectRow(1);
    QCOMPARE(table()->selectedItems().size(), table()->columnCount());
    click(QDialogButtonBox::Open);
    QVERIFY(!viewer->isVisible());
    QCOMPARE(loads.count(), 1);
    QCOMPARE(loads.first().first().toString(), handler->listBackups().at(1).path);
}

void BackupViewerTest::doubleClickLoadsThatRow()
{
    makeBackups();
    QSignalSpy loads(viewer.get(), &tlgBackupViewer::loadGameFromFile);
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
    const int row = 2;
    const QPoint where = table()->visualItemRect(table()->item(row, 2)).center();
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, where);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, where);
    QCOMPARE(loads.count(), 1);
    QCOMPARE(loads.first().first().toString(), handler->listBackups().at(row).path);
    QVERIFY(!viewer->isVisible());
}

void BackupViewerTest::emptyFolderGivesEmptyTable()
{
    makeBackups();
    QDir folder(backupLocation());
    for (const QString &name : folder.entryList(QDir::Files))
        QVERIFY(folder.remove(name));
    viewer->updateBackupList(*handler);
    QCOMPARE(table()->rowCount(), 0);

    QSignalSpy loads(viewer.get(), &tlgBackupViewer::loadGameFromFile);
    viewer->show();
    click(QDialogButtonBox::Open);
    QCOMPARE(loads.count(), 0);
}

TILVANE_TEST_MAIN(BackupViewerTest, QApplication)
#include "tst_backupviewer.moc"
