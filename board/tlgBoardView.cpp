#include "tlgBoardView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

tlgBoardView::tlgBoardView(QWidget *parent)
    : QGraphicsView(parent)
{
    // The board fills the view exactly: no frame, no scroll bars.
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setLineWidth(0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    setCacheMode(QGraphicsView::CacheBackground);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setRenderHint(QPainter::SmoothPixmapTransform, true);
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
