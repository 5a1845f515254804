#include "tlgSolutionViewer.h"

#include "tlFileSaver.h"
#include "tlSettings.h"
#include "tlgBoard.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>

namespace {

const int initialWidth = 400;
const int initialHeight = 500;
// The report: a date line and an empty line, then three lines per pair, the pair's
// two tiles and an empty line.
const int firstPairLine = 2;
const int linesPerPair = 3;
// The current pair stands this many lines below the top of the view.
const int linesAbovePair = 3;
const int highlightLightness = 160;  // percent of yellow

}

tlgSolutionViewer::tlgSolutionViewer(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Tilvane - Solution Viewer"));

    textView = new QPlainTextEdit(this);
    textView->setReadOnly(true);
    // One report line per text line, so that lines and scroll steps count alike.
    textView->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier(QStringLiteral("Courier"));
    // The report's columns need a fixed pitch even where Courier itself is missing.
    courier.setStyleHint(QFont::TypeWriter);
    textView->setFont(courier);

    forwardButton = new QPushButton(QStringLiteral("\u25BC"), this);
    backButton = new QPushButton(QStringLiteral("\u25B2"), this);
    forwardButton->setEnabled(false);
    backButton->setEnabled(false);
    auto *steps = new QHBoxLayout;
    steps->addWidget(forwardButton);
    steps->addWidget(backButton);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close,
                                         Qt::Horizontal, this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(textView, 0, 0, 1, 2);
    grid->addLayout(steps, 1, 0);
    grid->addWidget(buttons, 1, 1);

    connect(forwardButton, &QPushButton::pressed, this, &tlgSolutionViewer::moveDown);
    connect(backButton, &QPushButton::pressed, this, &tlgSolutionViewer::moveUp);
    connect(buttons, &QDialogButtonBox::accepted, this, &tlgSolutionViewer::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &tlgSolutionViewer::reject);

    resize(initialWidth, initialHeight);
}

void tlgSolutionViewer::setSolutionText(const QString &text)
{
    line = 0;
    forwardButton->setEnabled(true);
    backButton->setEnabled(false);
    textView->setPlainText(text);
    textView->setExtraSelections({});
    textView->moveCursor(QTextCursor::Start);
}

void tlgSolutionViewer::highlightCurrentPair()
{
    QList<QTextEdit::ExtraSelection> selections;
    if (line > 0) {
        for (const int shown : {line, line + 1}) {
            QTextEdit::ExtraSelection selection;
            selection.format.setBackground(QColor(Qt::yellow).lighter(highlightLightness));
            selection.format.setProperty(QTextFormat::FullWidthSelection, true);
            selection.cursor = QTextCursor(textView->document()->findBlockByNumber(shown));
            selections << selection;
        }
    }
    textView->setExtraSelections(selections);
    // The scroll bar clamps a negative value to the top.
    textView->verticalScrollBar()->setValue(line - linesAbovePair);
}

void tlgSolutionViewer::selectCurrentPair()
{
    const size_t index = size_t((line - firstPairLine) / linesPerPair);
    if (board && index < pairs.size())
        board->showPair(pairs[index].first, pairs[index].second);
}

void tlgSolutionViewer::moveDown()
{
    if (board)
        board->removeSelectedPair();
    const int old = line;
    // The pairs passed so far: the one at `old` counts once it has been reached.
    const int passed = (old + (old > 0 ? 1 : 0)) / linesPerPair;
    if (passed < tlSettings::instance().maxTiles / 2)
        line = old == 0 ? firstPairLine : old + linesPerPair;
    else
        forwardButton->setEnabled(false);
    highlightCurrentPair();
    selectCurrentPair();
    backButton->setEnabled(true);
}

void tlgSolutionViewer::moveUp()
{
    // At the last pair, which is gone from the board, stepping back puts that pair back.
    if (forwardButton->isEnabled())
        line -= linesPerPair;
    if (line < 0) {
        line = 0;
        backButton->setEnabled(false);
    }
    highlightCurrentPair();
    if (board)
        board->undoLastPair();
    if (line > 0)
        selectCurrentPair();
    forwardButton->setEnabled(true);
}

void tlgSolutionViewer::save()
{
    tlSettings &settings = tlSettings::instance();
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save File"), settings.solutionReportDirectory + QStringLiteral("/solution.txt"),
        tr("Text (*.txt *text)"));
    if (path.isEmpty())
        return;
    settings.solutionReportDirectory = path.left(path.lastIndexOf(QLatin1Char('/')));
    QString reason;
    if (!tl::saveFile(path, textView->toPlainText().toUtf8(), &reason)) {
        QMessageBox box(QMessageBox::Warning, tr("Tilvane"),
                        tr("Cannot open file %1. Solution not saved.").arg(path), QMessageBox::Ok);
        box.setInformativeText(reason);
        box.exec();
        return;
    }
    hide();
}

// A minimised main window hides and shows its dialogs too; only a real opening and
// closing of the viewer counts.
void tlgSolutionViewer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        emit visibilityChanged(true);
}

void tlgSolutionViewer::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    // The deal stands full again before the game judges its end once more.
    emit resetGame();
    emit visibilityChanged(false);
}
