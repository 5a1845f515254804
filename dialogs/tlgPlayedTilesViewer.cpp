#include "tlgPlayedTilesViewer.h"

#include "tlSettings.h"
#include "tlTilePictures.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"
#include "tlgTileHandler.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace {

enum HistoryColumn { FirstTileColumn, SecondTileColumn, CoordinatesColumn, HistoryColumnCount };
// The sorted table: a removed pair of a kind fills two columns, the second pair the two
// next to it, and the kind's name stands after them.
const int sortedPairStarts[] = {0, 2};
const int labelColumn = 4;
const int sortedColumnCount = 5;
// Two rows of the sorted table hold the seasons and the flowers, after the regular kinds.
const int bonusRows = 2;
const int tilesPerSortedRow = 4;
const int pageMargin = 5;
const int initialWidth = 480;
const int initialHeight = 650;

int historyRows()
{
    return tlSettings::instance().maxTiles / 2;
}

int sortedRows()
{
    return tlSettings::instance().maxTiles / tilesPerSortedRow;
}

QTableWidget *makeTable(int rows, int columns, QWidget *page)
{
    auto *table = new QTableWidget(rows, columns, page);
    table->horizontalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSortingEnabled(false);
    // A viewer: nothing in it is for typing over.
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(pageMargin, pageMargin, pageMargin, pageMargin);
    layout->addWidget(table, 0, 0);
    return table;
}

QString kindName(int kind)
{
    return QString::fromLatin1(tle::plainKindNames[kind]);
}

void fitToContents(QTableWidget *table)
{
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
}

// A row without pictures would shrink to its label between rows of pictures, so every
// row takes the height of the tallest.
void fitToContentsEvenly(QTableWidget *table)
{
    fitToContents(table);
    int tallest = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        tallest = std::max(tallest, table->rowHeight(row));
    for (int row = 0; row < table->rowCount(); ++row)
        table->setRowHeight(row, tallest);
}

}

tlgPlayedTilesViewer::tlgPlayedTilesViewer(tleGameEngine *gameEngine, tlgTileHandler *tilePictures,
                                           QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , engine(gameEngine)
    , tiles(tilePictures)
{
    setWindowTitle(tr("Tilvane - Played Tiles View"));

    tabs = new QTabWidget(this);
    historyPage = new QWidget;
    historyTable = makeTable(historyRows(), HistoryColumnCount, historyPage);
    tabs->addTab(historyPage, tr("History"));
    sortedPage = new QWidget;
    sortedTable = makeTable(sortedRows(), sortedColumnCount, sortedPage);
    tabs->addTab(sortedPage, tr("Sorted"));
    fillSortedLabels();

    buttons = new QDialogButtonBox(QDialogButtonBox::Close, Qt::Horizontal, this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(tabs, 0, 0);
    grid->addWidget(buttons, 1, 0);

    connect(buttons, &QDialogButtonBox::clicked, this, &tlgPlayedTilesViewer::hide);
    connect(historyTable, &QTableWidget::cellClicked, this, &tlgPlayedTilesViewer::showHistoryItem);
    connect(tabs, &QTabWidget::currentChanged, this, &tlgPlayedTilesViewer::showLatestChange);

    tabs->setCurrentWidget(historyPage);
    resize(initialWidth, initialHeight);
}

// A table scrolls to its current cell when it is shown, before its tab has its size; at
// full size the latest change shows with as much of what came before it as fits.
void tlgPlayedTilesViewer::showLatestChange()
{
    if (auto *table = tabs->currentWidget()->findChild<QTableWidget *>())
        table->scrollTo(table->currentIndex(), QAbstractItemView::PositionAtBottom);
}

void tlgPlayedTilesViewer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showLatestChange();
}

void tlgPlayedTilesViewer::fillSortedLabels()
{
    sortedTable->setRowCount(sortedRows());
    for (int kind = 0; kind < sortedTable->rowCount() - bonusRows; ++kind) {
        auto *label = new QTableWidgetItem(kindName(kind));
        label->setFlags(label->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEditable));
        sortedTable->setItem(kind, labelColumn, label);
    }
    sortedTable->setItem(sortedRow(tle::firstSeason), labelColumn, new QTableWidgetItem(tr("Seasons")));
    sortedTable->setItem(sortedRow(tle::firstFlower), labelColumn, new QTableWidgetItem(tr("Flowers")));
    historyTable->resizeColumnsToContents();
}

int tlgPlayedTilesViewer::sortedRow(uint32_t kind) const
{
    const int seasonsRow = sortedTable->rowCount() - bonusRows;
    if (kind >= tle::firstFlower && kind <= tle::lastFlower)
        return seasonsRow + 1;
    if (kind >= tle::firstSeason && kind <= tle::lastSeason)
        return seasonsRow;
    return int(kind);
}

QSize tlgPlayedTilesViewer::iconSize() const
{
    const int height = tlSettings::instance().thumbnailHeight;
    return QSize(int(height / tl::tilePictureRatio), height);
}

void tlgPlayedTilesViewer::tilesRemoved()
{
    const tleTilePairList &history = engine->history();
    if (history.empty())
        return;
    const int n = int(history.size()) - 1;
    const int a = int(history.back().first->type);
    const int b = int(history.back().second->type);

    historyTable->setIconSize(iconSize());
    for (const auto &[column, kind] : {std::pair{FirstTileColumn, a}, std::pair{SecondTileColumn, b}}) {
        auto *item = new QTableWidgetItem(tiles->thumbnailPixmap(kind), kindName(kind));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        historyTable->setItem(n, column, item);
    }
    fitToContents(historyTable);
    historyTable->setCurrentCell(n, CoordinatesColumn);

    // A season or flower pair may mix kinds; both tiles go into the first tile's row.
    sortedTable->setIconSize(iconSize());
    const int row = sortedRow(uint32_t(a));
    for (const int start : sortedPairStarts) {
        if (!sortedTable->item(row, start)) {
            sortedTable->setItem(row, start, new QTableWidgetItem(tiles->thumbnailPixmap(a), QString()));
            sortedTable->setItem(row, start + 1,
                                 new QTableWidgetItem(tiles->thumbnailPixmap(b), QString()));
            break;
        }
    }
    finishSortedChange(row);
}

void tlgPlayedTilesViewer::tilesUndoRemoved()
{
    // The restored pair's row goes, and an empty one takes its place at the end.
    historyTable->removeRow(int(engine->history().size()));
    historyTable->setRowCount(historyRows());

    const tleTile *restored = engine->lastUndonePair().first;
    if (!restored)
        return;
    const int row = sortedRow(restored->type);
    for (auto start = std::rbegin(sortedPairStarts); start != std::rend(sortedPairStarts); ++start) {
        if (sortedTable->item(row, *start)) {
            sortedTable->setItem(row, *start, nullptr);
            sortedTable->setItem(row, *start + 1, nullptr);
            break;
        }
    }
    finishSortedChange(row);
}

void tlgPlayedTilesViewer::finishSortedChange(int row)
{
    fitToContentsEvenly(sortedTable);
    sortedTable->setCurrentCell(row, labelColumn);
    update();
}

void tlgPlayedTilesViewer::prepareNewGame()
{
    historyTable->clearContents();
    sortedTable->clearContents();
    shownRow = -1;
    fillSortedLabels();
}

void tlgPlayedTilesViewer::showHistoryItem(int row, int column)
{
    const tleTilePairList &history = engine->history();
    if (row < 0 || row >= int(history.size()))
        return;
    if (shownRow != -1 && shownRow < historyRows())
        historyTable->setItem(shownRow, CoordinatesColumn, new QTableWidgetItem);
    const tleTile *tile = nullptr;
    if (column == FirstTileColumn)
        tile = history[size_t(row)].first;
    else if (column == SecondTileColumn)
        tile = history[size_t(row)].second;
    else
        return;
    historyTable->setItem(row, CoordinatesColumn,
                          new QTableWidgetItem(tr("x=%1, y=%2, layer=%3")
                                                   .arg(tile->x)
                                                   .arg(tile->y)
                                                   .arg(tile->layer + 1)));
    historyTable->resizeColumnsToContents();
    shownRow = row;
    update();
}
