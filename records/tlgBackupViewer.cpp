#include "tlgBackupViewer.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QTableWidget>

namespace {

enum Column { NumberColumn, DateColumn, LayoutColumn, ColumnCount };

const int initialWidth = 450;
const int initialHeight = 320;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    // Selectable, so that a row can be chosen, but never edited.
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}

tlgBackupViewer::tlgBackupViewer(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Tilvane - Recent Games"));
    resize(initialWidth, initialHeight);

    table = new QTableWidget(0, ColumnCount, this);
    table->setHorizontalHeaderLabels({tr("#"), tr("Date"), tr("Layout")});
    table->horizontalHeader()->setVisible(true);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    table->setSortingEnabled(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);

    buttonBox = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel,
                                     Qt::Horizontal, this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(table, 0, 0);
    grid->addWidget(buttonBox, 1, 0);

    connect(table, &QTableWidget::cellDoubleClicked, this, &tlgBackupViewer::restoreGame);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &tlgBackupViewer::restoreGame);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &tlgBackupViewer::reject);
}

void tlgBackupViewer::updateBackupList(const tlgBackupHandler &handler)
{
    table->clearContents();
    backups = handler.listBackups();
    table->setRowCount(backups.size());
    for (int row = 0; row < backups.size(); ++row) {
        const tlgBackupInfo &backup = backups.at(row);
        table->setItem(row, NumberColumn, cell(QString::number(row + 1)));
        table->setItem(row, DateColumn, cell(backup.created.toString(Qt::TextDate)));
        table->setItem(row, LayoutColumn, cell(backup.layoutName));
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
}

void tlgBackupViewer::restoreGame()
{
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    if (!selected.isEmpty()) {
        const int row = selected.first()->row();
        if (row >= 0 && row < backups.size())
            emit loadGameFromFile(backups.at(row).path);
    }
    hide();
}
