#ifndef TLGCOORDINATEOVERLAY_H
#define TLGCOORDINATEOVERLAY_H

#include <QColor>
#include <QSize>
#include <QVector>

class QGraphicsLineItem;
class QGraphicsScene;
class QGraphicsTextItem;
class tlgTile;

// A grid of thin lines with the board's half-tile coordinates at the borders, laid
// over the tiles for people who design layouts.
class tlgCoordinateOverlay
{
public:
    tlgCoordinateOverlay() = default;
    ~tlgCoordinateOverlay();
    tlgCoordinateOverlay(const tlgCoordinateOverlay &) = delete;
    tlgCoordinateOverlay &operator=(const tlgCoordinateOverlay &) = delete;

    void clear();
    // Lines through the lowest layer's tile columns and rows; `reach` is how far the
    // lines run beyond the scene on each side.
    void build(QGraphicsScene *scene, const QVector<tlgTile *> &tiles, const QSize &reach,
               int frameWidth, const QColor &background);
    void setVisible(bool on);

    int lineCount() const { return lines.size(); }
    int labelCount() const { return labels.size(); }

private:
    QVector<QGraphicsLineItem *> lines;
    QVector<QGraphicsTextItem *> labels;
};

#endif
