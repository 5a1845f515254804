#include "tlHighscoreList.h"
#include "tlModalAnswerer.h"
#include "tlSettings.h"
#include "tlTestClock.h"
#include "tlTestEnvironment.h"
#include "tlgHighscoreViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>

namespace {

const int shownRows = 10;
const int columns = 7;
const int defaultCapacity = 10;
const int64_t someStart = 1700000000;

tlHighscoreEntry entry(const QString &layout, int32_t tiles, int64_t start = someStart,
                       int64_t length = 100)
{
    tlHighscoreEntry e;
    e.layoutName = layout;
    e.tiles = tiles;
    e.startTime = start;
    e.endTime = start + length;
    return e;
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

int filledRows(const QTableWidget *table)
{
    int filled = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        filled += rowTexts(table, row).join(QString()).isEmpty() ? 0 : 1;
    return filled;
}

bool rowIsRed(const QTableWidget *table, int row)
{
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem *item = table->item(row, column);
        if (!item || item->foreground().color() != Qt::red)
            return false;
    }
    return true;
}

QStringList chooserNames(const QComboBox *chooser)
{
    QStringList names;
    for (int i = 0; i < chooser->count(); ++i)
        names << chooser->itemText(i);
    return names;
}

}

class HighscoreViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noHighscoresShowNothing();
    void showCurrentLayoutPicksPlayedOrFirstList();
    void cellTexts();
    void onlyTenRowsShown();
    void freshEntryIsRed_data();
    void freshEntryIsRed();
    void clearListAsksFirst();

private:
    tlTestClock clock;
    struct Parts
    {
        QComboBox *chooser;
        QTableWidget *table;
        QDialogButtonBox *buttons;
    };
    static Parts parts(const tlgHighscoreViewer &viewer);

    tlHighscoreList *list = tlHighscoreList::instance();
};

HighscoreViewerTest::Parts HighscoreViewerTest::parts(const tlgHighscoreViewer &viewer)
{
    return {viewer.findChild<QComboBox *>(), viewer.findChild<QTableWidget *>(),
            viewer.findChild<QDialogButtonBox *>(QStringLiteral("mButtonBox"))};
}

void HighscoreViewerTest::initTestCase()
{
    tlSettings::instance().readSettings();
    QVERIFY(list->layoutNames().isEmpty());
}

void HighscoreViewerTest::init()
{
    list->setCapacity(defaultCapacity);
    tlSettings::instance().layoutName = QStringLiteral("Turtle");
}

void HighscoreViewerTest::cleanup()
{
    for (const QString &name : list->layoutNames())
        list->removeLayout(name);
}

void HighscoreViewerTest::noHighscoresShowNothing()
{
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);
    QVERIFY(p.chooser && p.table && p.buttons);
    QCOMPARE(p.chooser->count(), 0);
    QCOMPARE(p.table->rowCount(), shownRows);
    QCOMPARE(p.table->columnCount(), columns);
    viewer.showCurrentLayout();
    QCOMPARE(filledRows(p.table), 0);
}

void HighscoreViewerTest::showCurrentLayoutPicksPlayedOrFirstList()
{
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);
    list->addEntry(entry(QStringLiteral("Charlie"), 3));
    list->addEntry(entry(QStringLiteral("Alpha"), 1));
    list->addEntry(entry(QStringLiteral("Bravo"), 2));
    QCOMPARE(chooserNames(p.chooser), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Bravo"),
                                                    QStringLiteral("Charlie")}));

    // The played layout has no list: the first one stands in.
    p.chooser->setCurrentIndex(2);
    viewer.showCurrentLayout();
    QCOMPARE(p.chooser->currentText(), QStringLiteral("Alpha"));
    QCOMPARE(rowTexts(p.table, 0).at(2), QStringLiteral("1"));
    QCOMPARE(filledRows(p.table), 1);

    tlSettings::instance().layoutName = QStringLiteral("Bravo");
    viewer.showCurrentLayout();
    QCOMPARE(p.chooser->currentText(), QStringLiteral("Bravo"));
    QCOMPARE(rowTexts(p.table, 0).at(2), QStringLiteral("2"));

    // A change of the lists brings the played layout to the front as well.
    p.chooser->setCurrentIndex(0);
    list->addEntry(entry(QStringLiteral("Delta"), 4));
    QCOMPARE(p.chooser->count(), 4);
    QCOMPARE(p.chooser->currentText(), QStringLiteral("Bravo"));
    QCOMPARE(rowTexts(p.table, 0).at(2), QStringLiteral("2"));
}

void HighscoreViewerTest::cellTexts()
{
    const QString layout = QStringLiteral("Texts");
    tlHighscoreEntry shortGame = entry(layout, 0, someStart, 64);
    shortGame.hints = 1;
    shortGame.undos = 2;
    shortGame.findMatches = 3;
    const tlHighscoreEntry longGame = entry(layout, 4, someStart, 5999);
    list->addEntry(longGame);
    list->addEntry(shortGame);
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);

    QCOMPARE(rowTexts(p.table, 0),
             (QStringList{QStringLiteral("1"), shortGame.dateText(), QStringLiteral("0"),
                          QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("01:05")}));
    QCOMPARE(rowTexts(p.table, 1),
             (QStringList{QStringLiteral("2"), longGame.dateText(), QStringLiteral("4"),
                          QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("100:00")}));

    // The list is for reading only.
    for (int column = 0; column < columns; ++column) {
        const QTableWidgetItem *item = p.table->item(0, column);
        QCOMPARE(item->flags() & (Qt::ItemIsSelectable | Qt::ItemIsEditable), Qt::ItemFlags());
        QCOMPARE(item->textAlignment(), int(Qt::AlignCenter));
    }
}

void HighscoreViewerTest::onlyTenRowsShown()
{
    const int stored = 12;
    list->setCapacity(stored);
    const QString layout = QStringLiteral("Twelve");
    for (int tiles = 0; tiles < stored; ++tiles)
        list->addEntry(entry(layout, tiles));
    QCOMPARE(list->entries(layout).size(), stored);
    list->addEntry(entry(QStringLiteral("Alpha"), 0));

    // Picking layouts in the chooser swaps the rows, leaving none of the previous ones.
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);
    QCOMPARE(filledRows(p.table), 1);
    p.chooser->setCurrentText(layout);
    QCOMPARE(p.table->rowCount(), shownRows);
    QCOMPARE(filledRows(p.table), shownRows);
    QCOMPARE(rowTexts(p.table, shownRows - 1).first(), QString::number(shownRows));
    p.chooser->setCurrentText(QStringLiteral("Alpha"));
    QCOMPARE(filledRows(p.table), 1);
}

void HighscoreViewerTest::freshEntryIsRed_data()
{
    QTest::addColumn<int>("age");
    QTest::addColumn<bool>("red");
    QTest::newRow("just ended") << 0 << true;
    QTest::newRow("five minutes ago") << 300 << true;
    QTest::newRow("six minutes ago") << 360 << false;
    QTest::newRow("an hour ago") << 3600 << false;
}

void HighscoreViewerTest::freshEntryIsRed()
{
    QFETCH(int, age);
    QFETCH(bool, red);
    const QString layout = QStringLiteral("Fresh");
    tlSettings::instance().layoutName = layout;
    list->addEntry(entry(layout, 0));
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);
    QCOMPARE(filledRows(p.table), 1);

    // The new game ranks second, so the mark must follow its row, not the top.
    const int64_t end = clock.now - age;
    list->addEntry(entry(layout, 5, end - 100, 100));
    QCOMPARE(filledRows(p.table), 2);
    QVERIFY(!rowIsRed(p.table, 0));
    QCOMPARE(rowIsRed(p.table, 1), red);
}

void HighscoreViewerTest::clearListAsksFirst()
{
    const QString layout = QStringLiteral("Cleared");
    list->addEntry(entry(layout, 1));
    list->addEntry(entry(layout, 2));
    tlgHighscoreViewer viewer(clock, nullptr);
    const Parts p = parts(viewer);
    p.chooser->setCurrentText(layout);
    QPushButton *clearButton = nullptr;
    for (QAbstractButton *button : p.buttons->buttons()) {
        if (p.buttons->buttonRole(button) == QDialogButtonBox::RejectRole)
            clearButton = qobject_cast<QPushButton *>(button);
    }
    QVERIFY(clearButton);
    QCOMPARE(clearButton->text(), QStringLiteral("Clear List"));

    {
        tlModalAnswerer answerer(QMessageBox::No);
        clearButton->click();
        QCOMPARE(answerer.titles(), QStringList{QStringLiteral("Tilvane - Confirm")});
        QCOMPARE(answerer.texts(), QStringList{QStringLiteral(
            "Are you sure you want to erase the high score list for the respective layout? "
            "This cannot be undone.")});
    }
    QCOMPARE(filledRows(p.table), 2);
    QCOMPARE(list->entries(layout).size(), 2);

    {
        tlModalAnswerer answerer(QMessageBox::Yes);
        clearButton->click();
        QCOMPARE(answerer.texts().size(), 1);
    }
    QCOMPARE(filledRows(p.table), 0);
    QCOMPARE(p.table->rowCount(), shownRows);
    QVERIFY(list->entries(layout).isEmpty());
    QVERIFY(list->hasLayout(layout));
    QCOMPARE(p.chooser->currentText(), layout);
}

TILVANE_TEST_MAIN(HighscoreViewerTest, QApplication)
#include "tst_highscoreviewer.moc"
