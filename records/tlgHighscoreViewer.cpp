#include "tlgHighscoreViewer.h"

#include "tlClock.h"
#include "tlHighscoreList.h"
#include "tlSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>

namespace {

enum Column { RankColumn, DateColumn, TilesColumn, HintsColumn, UndosColumn,
              FindMatchesColumn, TimeColumn, ColumnCount };

// The list shows at most this many games, whatever the store keeps.
const int shownRows = 10;
const int chooserMinimumCharacters = 14;
const int spacerWidth = 600;
const int spacerHeight = 20;
const int initialWidth = 700;
const int initialHeight = 380;
// A game that ended this recently is the one just played; its row is marked.
const qint64 freshEntrySeconds = 360;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

}

tlgHighscoreViewer::tlgHighscoreViewer(const tlClock &viewerClock, QWidget *parent)
    : QDialog(parent)
    , clock(viewerClock)
{
    setWindowTitle(tr("Tilvane - Highscore Viewer"));

    layoutChooser = new QComboBox(this);
    layoutChooser->setMinimumContentsLength(chooserMinimumCharacters);

    table = new QTableWidget(shownRows, ColumnCount, this);
    table->setHorizontalHeaderLabels({tr("Rank"), tr("Date"), tr("Tiles Left"), tr("Hints Used"),
                                      tr("Undos Used"), tr("Find Matches Used"), tr("Time")});
    table->horizontalHeader()->setVisible(true);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    table->setSortingEnabled(false);

    buttonBox = new QDialogButtonBox(Qt::Horizontal, this);
    buttonBox->setObjectName(QStringLiteral("mButtonBox"));
    QPushButton *closeButton = buttonBox->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    closeButton->setDefault(true);
    buttonBox->addButton(tr("Clear List"), QDialogButtonBox::RejectRole);

    auto *grid = new QGridLayout(this);
    grid->addWidget(layoutChooser, 0, 0);
    grid->addItem(new QSpacerItem(spacerWidth, spacerHeight, QSizePolicy::Expanding,
                                  QSizePolicy::Minimum), 0, 1);
    grid->addWidget(table, 1, 0, 1, 2);
    grid->addWidget(buttonBox, 2, 0, 1, 2);

    connect(buttonBox, &QDialogButtonBox::accepted, this, &tlgHighscoreViewer::hide);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &tlgHighscoreViewer::clearHighscores);
    connect(tlHighscoreList::instance(), &tlHighscoreList::updateHighscores,
            this, &tlgHighscoreViewer::updateHighscores);
    // The text overload of this signal is deprecated; it only ever carried itemText(index).
    connect(layoutChooser, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { layoutChanged(layoutChooser->itemText(index)); });

    updateHighscores();
    resize(initialWidth, initialHeight);
}

void tlgHighscoreViewer::layoutChanged(const QString &layoutName)
{
    table->clearContents();
    const QVector<tlHighscoreEntry> entries = tlHighscoreList::instance()->entries(layoutName);
    const int rows = std::min(int(entries.size()), shownRows);
    for (int row = 0; row < rows; ++row) {
        const tlHighscoreEntry &entry = entries.at(row);
        table->setItem(row, RankColumn, cell(QString::number(row + 1)));
        table->setItem(row, DateColumn, cell(entry.dateText()));
        table->setItem(row, TilesColumn, cell(QString::number(entry.tiles)));
        table->setItem(row, HintsColumn, cell(QString::number(entry.hints)));
        table->setItem(row, UndosColumn, cell(QString::number(entry.undos)));
        table->setItem(row, FindMatchesColumn, cell(QString::number(entry.findMatches)));
        table->setItem(row, TimeColumn, cell(entry.timeText()));
    }
    table->horizontalHeader()->setStretchLastSection(false);
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    keepColumnsInView();
    table->horizontalHeader()->setStretchLastSection(true);
    // Whichever list is shown, the game just entered stands out.
    highlightLastEntry();
}

void tlgHighscoreViewer::keepColumnsInView()
{
    // Long dates and headers must not push the time column out of sight.
    int needed = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column)
        needed += table->columnWidth(column);
    table->setMinimumWidth(needed);
}

void tlgHighscoreViewer::clearHighscores()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Tilvane - Confirm"),
        tr("Are you sure you want to erase the high score list for the respective layout? "
           "This cannot be undone."),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    table->clearContents();
    tlHighscoreList::instance()->clearLayout(layoutChooser->currentText());
}

void tlgHighscoreViewer::updateHighscores()
{
    {
        // Refilling the chooser would show every intermediate selection; show only the last.
        const QSignalBlocker blocker(layoutChooser);
        layoutChooser->clear();
        // The list keeps its layouts in ascending order already.
        for (const QString &name : tlHighscoreList::instance()->layoutNames())
            layoutChooser->addItem(name);
        const int current = layoutChooser->findText(tlSettings::instance().layoutName);
        if (current >= 0)
            layoutChooser->setCurrentIndex(current);
    }
    layoutChanged(layoutChooser->currentText());
}

void tlgHighscoreViewer::highlightLastEntry()
{
    const tlHighscoreEntry last = tlHighscoreList::instance()->lastEntry();
    const QList<QTableWidgetItem *> found = table->findItems(last.dateText(), Qt::MatchExactly);
    if (found.isEmpty())
        return;
    if (clock.secondsSinceEpoch() - last.endTime >= freshEntrySeconds)
        return;
    const int row = found.first()->row();
    const QBrush red(Qt::red, Qt::SolidPattern);
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem *item = table->item(row, column))
            item->setForeground(red);
    }
}

void tlgHighscoreViewer::showCurrentLayout()
{
    tlHighscoreList *list = tlHighscoreList::instance();
    QString name = tlSettings::instance().layoutName;
    if (!list->hasLayout(name)) {
        const QVector<QString> names = list->layoutNames();
        if (names.isEmpty())
            return;
        name = names.first();
    }
    {
        const QSignalBlocker blocker(layoutChooser);
        layoutChooser->setCurrentIndex(layoutChooser->findText(name));
    }
    layoutChanged(name);
}
