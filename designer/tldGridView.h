#ifndef TLDGRIDVIEW_H
#define TLDGRIDVIEW_H

#include "tldLayoutModel.h"
#include "tldTilePainter.h"
#include "tldVerifier.h"

#include <QColor>
#include <QHash>
#include <QPoint>
#include <QWidget>
#include <optional>

// The drawing board: the layout's tiles on a half-tile grid, one layer current. Lower
// layers are dimmed, higher ones shown faintly or, when only the current layer is
// shown, not at all. Tiles that overlap or float are marked.
//
// A click places a tile, on the current layer or on top of what lies there; a click on a
// tile of the current layer selects it, and dragging moves the selection; a double click
// on it puts a tile on top of it. Dragging from an empty place draws a band that selects
// the tiles it touches; with Ctrl or Shift it adds to the selection. A right click
// removes the tile under the pointer.
class tldGridView : public QWidget
{
    Q_OBJECT

public:
    struct Appearance
    {
        QSize cell;   // a whole tile's face on the grid
        int margin = 0;
        tlTileStyle style = tlTileStyle::Classic;
        bool transparent = false;  // the board shows the window's background, not a colour of its own
        QColor board;
    };

    explicit tldGridView(tldLayoutModel &model, QWidget *parent = nullptr);

    // False when the tile pictures could not be read; the board then draws plain blocks.
    bool setAppearance(const Appearance &look);
    QString pictureProblem() const { return painter.failureMessage(); }

    int currentLayer() const { return layer; }
    void setCurrentLayer(int newLayer);
    void setShowAllLayers(bool all);
    void setLayering(tldLayering how) { layering = how; }
    // Numbers the tiles by the pair they go with; any edit takes the numbers away.
    void showRemovalOrder(const tldVerifier::RemovalOrder &order);

    // The place under the pointer, where a paste goes; none when the pointer is away.
    std::optional<QPoint> hoveredPlace() const;

    QSize sizeHint() const override;

signals:
    void currentLayerChanged(int layer);
    // Where the pointer is, in the layout's coordinates; empty when it left the board.
    void pointerMoved(const QString &where);
    // An edit was refused; `why` says why.
    void refused(const QString &why);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Gesture { None, PendingPlace, PendingDrag, Dragging, Band };

    QRect faceRect(int32_t x, int32_t y) const;
    QRect faceRect(const tlTilePosition &p) const { return faceRect(p.x, p.y); }
    QRect boardRect() const;
    // The half-tile cell under a point, and the place a tile centred there would take.
    QPoint cellAt(const QPoint &point) const;
    QPoint placeAt(const QPoint &point) const;
    QPoint dragSteps(const QPoint &point) const;
    bool isShown(int tileLayer) const;
    int tileOnCurrentLayer(const QPoint &point) const;
    int topShownTile(const QPoint &point) const;
    int landingLayer(const QPoint &place) const;
    void finishBand(bool adding);
    bool place(const QPoint &point, tldLayering how);
    void check(bool done);

    void paintGrid(QPainter &p) const;
    void paintTiles(QPainter &p);
    void paintMarks(QPainter &p) const;
    void paintRemovalStep(QPainter &p, const QRect &face, int step) const;
    void paintPreview(QPainter &p) const;
    void outlineFace(QPainter &p, const QRect &face, const QColor &colour, Qt::BrushStyle hatch) const;

    tldLayoutModel &layout;
    tldTilePainter painter;
    bool picturesRead = false;
    Appearance appearance;
    int layer = 1;
    bool allLayers = true;
    tldLayering layering = tldLayering::LandOnTop;
    QHash<int, int> removalStep;  // pair number by tile

    Gesture gesture = Gesture::None;
    QPoint pressPoint;
    QPoint pointer;
    bool pointerInside = false;
    bool bandAdds = false;
    bool lastClickPlaced = false;
};

#endif
