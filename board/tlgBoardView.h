#ifndef TLGBOARDVIEW_H
#define TLGBOARDVIEW_H

#include <QGraphicsView>

// Shows the board at its natural size and passes on files dropped onto it.
class tlgBoardView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit tlgBoardView(QWidget *parent = nullptr);

signals:
    void fileDropped(QString filename);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

#endif
