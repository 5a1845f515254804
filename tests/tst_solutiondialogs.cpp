#include "tlModalAnswerer.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"
#include "tlTestLayouts.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"
#include "tlgBoard.h"
#include "tlgFindSolutionDialog.h"
#include "tlgPlayedTilesViewer.h"
#include "tlgSolutionViewer.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <memory>

namespace {

const int pairCount = tle::setSize / 2;
const uint32_t bamboo5 = 22;
const int seasonsRow = 34;

QString name(uint32_t kind)
{
    return QString::fromLatin1(tle::plainKindNames[kind]);
}

void press(const QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    dialog->findChild<QDialogButtonBox *>()->button(which)->click();
}

// A row's texts, "-" for an empty cell and "icon" for a cell with a picture.
QStringList cells(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem *item = table->item(row, column);
        texts << (!item ? QStringLiteral("-") : item->icon().isNull() ? item->text() : QStringLiteral("icon"));
    }
    return texts;
}

// A scattered deal, where every tile is free, on a board scene with the real pictures.
struct Table
{
    Table(const QString &layout, const tlgTileHandler &pictures)
    {
        engine.seed(20240611);
        if (!engine.init(layout))
            qFatal("cannot deal the test layout");
        engine.shuffleTiles();
        board.setEngine(&engine);
        board.replaceTiles(pictures);
        board.showTiles();
    }
    tleTile *onBoard(uint32_t kind, const tleTile *except = nullptr) const
    {
        for (tleTile *tile : engine.tiles()) {
            if (tile->type == kind && tile->state == 1 && tile != except)
                return tile;
        }
        return nullptr;
    }
    // Selects and removes a pair of these kinds as the player does.
    void remove(uint32_t a, uint32_t b)
    {
        tleTile *first = onBoard(a);
        board.showPair(first, onBoard(b, first));
        board.removeSelectedPair();
    }
    tleTilePair selected() const
    {
        if (!board.firstSelected() || !board.secondSelected())
            return {nullptr, nullptr};
        return {board.firstSelected()->tile(), board.secondSelected()->tile()};
    }
    tleGameEngine engine;
    tlgBoard board;
};

// The solution viewer on a solution of the table, opened as the window opens it: on the
// full deal again.
struct Walk
{
    explicit Walk(Table &table)
    {
        int minTilesLeft = 0;
        unsigned iterations = 0;
        table.engine.solve(minTilesLeft, iterations, 1000, nullptr);
        text = table.engine.solutionText();
        pairs = table.engine.history();
        table.engine.resetGame();
        table.board.showTiles();
        viewer.setBoard(&table.board);
        viewer.setSolutionText(text);
        viewer.setSolutionPairs(pairs);
        viewer.show();
        for (QPushButton *button : viewer.findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("\u25BC"))
                forward = button;
            else if (button->text() == QStringLiteral("\u25B2"))
                back = button;
        }
    }
    void stepDown(int times)
    {
        for (int i = 0; i < times; ++i)
            forward->click();
    }
    // The highlighted report lines.
    QList<int> lines() const
    {
        QList<int> numbers;
        for (const auto &selection : viewer.findChild<QPlainTextEdit *>()->extraSelections())
            numbers << selection.cursor.blockNumber();
        return numbers;
    }
    QString text;
    tleTilePairList pairs;
    tlgSolutionViewer viewer;
    QPushButton *forward = nullptr;
    QPushButton *back = nullptr;
};

}

class SolutionDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { table = std::make_unique<Table>(layout, pictures); }
    void searchModes_data();
    void searchModes();
    void stepsForwardAndBack();
    void lastPair();
    void saveReport_data();
    void saveReport();
    void closeResetsTheGame();
    void playedTilesFollowTheGame();

private:
    QTemporaryDir dir;
    QString layout;
    tlgTileHandler pictures;
    std::unique_ptr<Table> table;
};

void SolutionDialogsTest::initTestCase()
{
    tlSettings::instance().readSettings();
    layout = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("scattered"), tlTestLayouts::scattered());
    QVERIFY2(pictures.load(tlTileStyle::Classic, 40), qPrintable(pictures.failureMessage()));
}

void SolutionDialogsTest::searchModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typed");  // into the iterations box
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("accepted");  // 0 for a cancelled search
    const int ok = QDialogButtonBox::Ok;
    QTest::newRow("Fast Search") << 0 << QString() << ok << 100;
    QTest::newRow("Standard Search") << 1 << QString() << ok << 1000;
    QTest::newRow("Extended Search") << 2 << QString() << ok << 10000;
    QTest::newRow("Custom Search") << 3 << QString() << ok << 100000;
    QTest::newRow("custom 250") << 3 << QStringLiteral("250") << ok << 250;
    QTest::newRow("custom most") << 3 << QStringLiteral("1000000") << ok << 1000000;
    // The box refuses what lies beyond its bounds and keeps the last number it took.
    QTest::newRow("custom 0") << 3 << QStringLiteral("0") << ok << 100000;
    QTest::newRow("custom above most") << 3 << QStringLiteral("1000001") << ok << 100000;
    QTest::newRow("cancelled") << 3 << QStringLiteral("250") << int(QDialogButtonBox::Cancel) << 0;
}

void SolutionDialogsTest::searchModes()
{
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(int, button);
    QFETCH(int, accepted);
    tlgFindSolutionDialog dialog;
    auto *modes = dialog.findChild<QComboBox *>();
    auto *box = dialog.findChild<QSpinBox *>();
    QCOMPARE(modes->currentText(), QStringLiteral("Standard Search"));
    QVERIFY(box->value() == 1000 && !box->isEnabled());
    // Coming from a typed custom number, every mode's preset replaces it.
    modes->setCurrentIndex(3);
    box->setValue(250);
    modes->setCurrentIndex(0);
    modes->setCurrentIndex(mode);
    QCOMPARE(box->isEnabled(), mode == 3);
    dialog.show();
    box->selectAll();
    QTest::keyClicks(box, typed);

    QSignalSpy start(&dialog, &tlgFindSolutionDialog::startSearch);
    QSignalSpy reset(&dialog, &tlgFindSolutionDialog::resetGame);
    press(&dialog, QDialogButtonBox::StandardButton(button));
    QCOMPARE(dialog.maxIterations(), accepted);
    QCOMPARE(start.count(), accepted ? 1 : 0);
    QCOMPARE(reset.count(), accepted ? 0 : 1);
    QVERIFY(dialog.isHidden());
}

void SolutionDialogsTest::stepsForwardAndBack()
{
    Walk walk(*table);
    const tleTilePairList &history = table->engine.history();
    QCOMPARE(walk.viewer.findChild<QPlainTextEdit *>()->toPlainText(), walk.text);
    QVERIFY(walk.forward->isEnabled() && !walk.back->isEnabled());
    // The first step only selects the first pair; back from there removes nothing.
    walk.stepDown(1);
    QCOMPARE(walk.lines(), (QList<int>{2, 3}));
    QCOMPARE(table->selected(), walk.pairs[0]);
    QVERIFY(history.empty() && walk.back->isEnabled());
    walk.back->click();
    QVERIFY(walk.lines().isEmpty() && history.empty() && !walk.back->isEnabled());
    QCOMPARE(table->selected(), tleTilePair(nullptr, nullptr));
    // Each further step removes the selected pair and selects the next; back undoes one.
    walk.stepDown(3);
    QCOMPARE(walk.lines(), (QList<int>{8, 9}));
    QCOMPARE(history, tleTilePairList(walk.pairs.begin(), walk.pairs.begin() + 2));
    QCOMPARE(table->selected(), walk.pairs[2]);
    walk.back->click();
    QCOMPARE(walk.lines(), (QList<int>{5, 6}));
    QCOMPARE(history, tleTilePairList{walk.pairs[0]});
    QCOMPARE(table->selected(), walk.pairs[1]);
}

void SolutionDialogsTest::lastPair()
{
    Walk walk(*table);
    const int lastLine = 2 + 3 * (pairCount - 1);
    walk.stepDown(pairCount + 1);
    QCOMPARE(table->engine.history(), walk.pairs);
    QCOMPARE(walk.lines(), (QList<int>{lastLine, lastLine + 1}));
    QVERIFY(!walk.forward->isEnabled());
    walk.back->click();
    QCOMPARE(table->engine.tilesLeft(), 2);
    QCOMPARE(walk.lines(), (QList<int>{lastLine, lastLine + 1}));
    QCOMPARE(table->selected(), walk.pairs.back());
    QVERIFY(walk.forward->isEnabled());
}

void SolutionDialogsTest::saveReport_data()
{
    QTest::addColumn<QString>("chosen");  // in a fresh folder; empty cancels
    QTest::addColumn<bool>("saved");
    QTest::newRow("cancelled") << QString() << false;
    // Root may write into any folder; a folder that is a file stops everyone.
    QTest::newRow("folder is a file") << QStringLiteral("blocker/solution.txt") << false;
    QTest::newRow("writable folder") << QStringLiteral("solution.txt") << true;
}

void SolutionDialogsTest::saveReport()
{
    QFETCH(QString, chosen);
    QFETCH(bool, saved);
    QTemporaryDir folder;
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    const QString path = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    tlSettings::instance().solutionReportDirectory = QDir::homePath();

    Walk walk(*table);
    QSignalSpy reset(&walk.viewer, &tlgSolutionViewer::resetGame);
    tlModalAnswerer answerer;
    answerer.answerFile(path);
    press(&walk.viewer, QDialogButtonBox::Save);
    QCOMPARE(answerer.fileDialogFolders, QStringList{QDir::homePath()});
    const bool warned = !path.isEmpty() && !saved;
    QCOMPARE(answerer.texts(), warned ? QStringList{QStringLiteral("Cannot open file %1. Solution not saved.").arg(path)}
                                      : QStringList());
    QCOMPARE(answerer.titles(), warned ? QStringList{QStringLiteral("Tilvane")} : QStringList());
    QCOMPARE(walk.viewer.isVisible(), !saved);
    QCOMPARE(reset.count(), saved ? 1 : 0);
    QCOMPARE(tlSettings::instance().solutionReportDirectory, path.isEmpty() ? QDir::homePath() : QFileInfo(path).path());
    QFile report(saved ? path : blocker.fileName());
    QVERIFY(report.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(report.readAll()), saved ? walk.text : QString());
}

void SolutionDialogsTest::closeResetsTheGame()
{
    tlgSolutionViewer viewer;
    QSignalSpy reset(&viewer, &tlgSolutionViewer::resetGame);
    QSignalSpy visible(&viewer, &tlgSolutionViewer::visibilityChanged);
    viewer.show();
    QCOMPARE(reset.count(), 0);
    press(&viewer, QDialogButtonBox::Close);
    QVERIFY(viewer.isHidden());
    QCOMPARE(reset.count(), 1);
    viewer.show();
    QVERIFY(viewer.close());
    QCOMPARE(reset.count(), 2);
    QCOMPARE(QList<QVariantList>(visible), (QList<QVariantList>{{true}, {false}, {true}, {false}}));
}

// Connected as the window connects it, the viewer follows the game while hidden.
void SolutionDialogsTest::playedTilesFollowTheGame()
{
    tlgPlayedTilesViewer viewer(&table->engine, &pictures);
    connect(&table->board, &tlgBoard::tilesRemoved, &viewer, &tlgPlayedTilesViewer::tilesRemoved);
    connect(&table->board, &tlgBoard::tilesUndoRemoved, &viewer, &tlgPlayedTilesViewer::tilesUndoRemoved);
    auto *tabs = viewer.findChild<QTabWidget *>();
    QCOMPARE(tabs->tabText(0) + tabs->tabText(1), QStringLiteral("HistorySorted"));
    auto *history = tabs->widget(0)->findChild<QTableWidget *>();
    auto *sorted = tabs->widget(1)->findChild<QTableWidget *>();
    const QStringList empty = {"-", "-", "-"};

    table->remove(bamboo5, bamboo5);
    QCOMPARE(history->item(0, 0)->text() + history->item(0, 1)->text(), name(bamboo5) + name(bamboo5));
    QCOMPARE(cells(history, 0), (QStringList{"icon", "icon", "-"}));
    QCOMPARE(cells(sorted, int(bamboo5)), (QStringList{"icon", "icon", "-", "-", name(bamboo5)}));
    QCOMPARE(history->iconSize(), QSize(24, 30));
    QCOMPARE(sorted->iconSize(), QSize(24, 30));
    // Seasons match each other; a mixed pair goes into the row of all seasons.
    table->remove(tle::firstSeason, tle::lastSeason);
    table->remove(tle::firstSeason + 1, tle::firstSeason + 2);
    QCOMPARE(history->item(1, 0)->text() + history->item(1, 1)->text(), QStringLiteral("SpringWinter"));
    QCOMPARE(cells(sorted, seasonsRow), (QStringList{"icon", "icon", "icon", "icon", "Seasons"}));

    // A click shows the tile's place, in place of the one shown before.
    const auto place = [](const tleTile *tile) {
        return QStringLiteral("x=%1, y=%2, layer=%3").arg(tile->x).arg(tile->y).arg(tile->layer + 1);
    };
    const tleTilePairList &played = table->engine.history();
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                      history->visualItemRect(history->item(0, 1)).center());
    QCOMPARE(history->item(0, 2)->text(), place(played[0].second));
    QVERIFY(place(played[0].second).endsWith(QStringLiteral("layer=1")));
    viewer.showHistoryItem(2, 0);
    viewer.showHistoryItem(3, 0);  // no pair there yet
    QCOMPARE(history->item(2, 2)->text(), place(played[2].first));
    QCOMPARE(history->item(0, 2)->text(), QString());
    viewer.hide();

    table->board.undoLastPair();
    QCOMPARE(cells(sorted, seasonsRow), (QStringList{"icon", "icon", "-", "-", "Seasons"}));
    QCOMPARE(history->rowCount(), pairCount);
    QCOMPARE(cells(history, 1), (QStringList{"icon", "icon", "-"}));
    QCOMPARE(cells(history, 2), empty);
    QCOMPARE(cells(history, pairCount - 1), empty);

    viewer.prepareNewGame();
    QCOMPARE(cells(history, 0), empty);
    QCOMPARE(sorted->rowCount(), tle::setSize / 4);
    for (uint32_t kind = 0; kind < tle::regularKindCount; ++kind)
        QCOMPARE(cells(sorted, int(kind)), (QStringList{"-", "-", "-", "-", name(kind)}));
    QCOMPARE(cells(sorted, seasonsRow + 1), (QStringList{"-", "-", "-", "-", "Flowers"}));
}

TILVANE_TEST_MAIN(SolutionDialogsTest, QApplication)
#include "tst_solutiondialogs.moc"
