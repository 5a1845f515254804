#include "tlgWindow.h"

#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgCommandLine.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPalette>
#include <QWidget>

namespace {
// Room for the board until the board view takes its place.
const QSize placeholderBoardSize(800, 560);
}

tlgWindow::tlgWindow(QWidget *parent)
    : QMainWindow(parent)
{
    gameFile = tlgCommandLine::process(this);

    setWindowTitle(QString::fromLatin1(tl::productName));
    auto *boardArea = new QWidget(this);
    boardArea->setMinimumSize(placeholderBoardSize);
    boardArea->setAutoFillBackground(true);
    QPalette palette = boardArea->palette();
    palette.setColor(QPalette::Window, tlSettings::instance().backgroundColor);
    boardArea->setPalette(palette);
    setCentralWidget(boardArea);
}

tlgWindow::~tlgWindow()
{
    tlSettings::instance().writeSettings();
}

void tlgWindow::closeEvent(QCloseEvent *event)
{
    tlSettings::instance().writeSettings();
    event->accept();
    QCoreApplication::exit(0);
}
