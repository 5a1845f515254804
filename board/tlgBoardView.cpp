#include "tlgBoardView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

tlgBoardView::tlgBoardView(QWidget *parent)
    : QGraphicsView(parent)
{
    setAcceptDrops(true);
}

// Whatever is dragged is welcome; the window decides what a dropped file means.
void tlgBoardView::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void tlgBoardView::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void tlgBoardView::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls())
        emit fileDropped(url.toLocalFile());
    event->acceptProposedAction();
}
