#ifndef TLGTILE_H
#define TLGTILE_H

#include <QGraphicsPixmapItem>
#include <QObject>
#include <QPixmap>

struct tleTile;

// The picture of one tile on the board. It places itself from its engine record, so
// that the stacked look comes from layer, x and y and the picture's edge strips alone.
class tlgTile : public QObject, public QGraphicsPixmapItem
{
    Q_OBJECT
    Q_PROPERTY(QPointF pos READ pos WRITE setPos)

public:
    // The tile's thickness drawn along the picture's right and bottom edges, as
    // fractions of its width and height.
    static constexpr double sideEdge = 0.11;
    static constexpr double bottomEdge = 0.09;

    tlgTile(tleTile *tile, const QPixmap &normal, const QPixmap &highlighted,
            QGraphicsItem *parent = nullptr);

    tleTile *tile() const { return record; }
    bool isHighlighted() const { return highlightedShown; }
    void setHighlighted(bool on);
    void setPixmaps(const QPixmap &normal, const QPixmap &highlighted);
    void updatePosition();

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    tleTile *record;
    QPixmap normalImage;
    QPixmap highlightedImage;
    bool highlightedShown = false;
};

#endif
