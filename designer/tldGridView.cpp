#include "tldGridView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const double halvesPerTile = 2.0;
// Faint lines every half tile, firmer ones every whole tile.
const int halfLineAlpha = 35;
const int wholeLineAlpha = 80;
// Layers above the current one show through as ghosts.
const qreal ghostOpacity = 0.25;
const int markWidth = 3;
const QColor overlapColour(0xe0, 0x20, 0x20);
const QColor floatingColour(0xff, 0x9a, 0x00);
const QColor selectionColour(0x1e, 0x6f, 0xd9);
const QColor previewColour(0xff, 0xff, 0xff);
const int numberRadius = 11;
const int previewWidth = 2;

int indexFromStart(double units)
{
    return int(std::floor(units));
}

}

tldGridView::tldGridView(tldLayoutModel &model, QWidget *parent)
    : QWidget(parent)
    , layout(model)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&layout, &tldLayoutModel::tilesChanged, this, [this] {
        removalStep.clear();
        updateGeometry();
        adjustSize();
        update();
    });
    connect(&layout, &tldLayoutModel::selectionChanged, this, qOverload<>(&QWidget::update));
}

bool tldGridView::setAppearance(const Appearance &look)
{
    // Reading the pictures takes a moment; a new background needs none.
    const bool samePictures = look.cell == appearance.cell && look.style == appearance.style;
    appearance = look;
    if (!samePictures)
        picturesRead = painter.load(look.style, look.cell, devicePixelRatioF());
    updateGeometry();
    adjustSize();
    update();
    return picturesRead;
}

void tldGridView::setCurrentLayer(int newLayer)
{
    newLayer = std::clamp(newLayer, 1, std::max(1, layout.limits().layers));
    if (newLayer == layer)
        return;
    layer = newLayer;
    update();
    emit currentLayerChanged(layer);
}

void tldGridView::setShowAllLayers(bool all)
{
    allLayers = all;
    update();
}

void tldGridView::showRemovalOrder(const tldVerifier::RemovalOrder &order)
{
    removalStep.clear();
    for (int step = 0; step < order.size(); ++step) {
        removalStep.insert(order.at(step).first, step + 1);
        removalStep.insert(order.at(step).second, step + 1);
    }
    update();
}

QRect tldGridView::faceRect(int32_t x, int32_t y) const
{
    const QPoint corner(appearance.margin + qRound(x * appearance.cell.width() / halvesPerTile),
                        appearance.margin + qRound(y * appearance.cell.height() / halvesPerTile));
    return QRect(corner, appearance.cell);
}

QRect tldGridView::boardRect() const
{
    const tldBoardLimits room = layout.limits();
    return QRect(QPoint(appearance.margin, appearance.margin),
                 QSize(room.tilesAcross * appearance.cell.width(),
                       room.tilesDown * appearance.cell.height()));
}

QSize tldGridView::sizeHint() const
{
    // The margin all round, and room for the pictures' edges beyond the last column and row.
    const QSize edges = painter.pictureRect(QRect(QPoint(), appearance.cell)).size() - appearance.cell;
    return boardRect().size() + edges + QSize(2 * appearance.margin, 2 * appearance.margin);
}

QPoint tldGridView::cellAt(const QPoint &point) const
{
    return QPoint(indexFromStart((point.x() - appearance.margin) * halvesPerTile / appearance.cell.width()),
                  indexFromStart((point.y() - appearance.margin) * halvesPerTile / appearance.cell.height()));
}

QPoint tldGridView::placeAt(const QPoint &point) const
{
    // The tile whose centre lies nearest the pointer, kept on the board.
    const double across = (point.x() - appearance.margin) * halvesPerTile / appearance.cell.width();
    const double down = (point.y() - appearance.margin) * halvesPerTile / appearance.cell.height();
    const tldBoardLimits room = layout.limits();
    const int lastX = int(halvesPerTile) * (room.tilesAcross - 1);
    const int lastY = int(halvesPerTile) * (room.tilesDown - 1);
    return QPoint(std::clamp(indexFromStart(across - 0.5), 0, lastX),
                  std::clamp(indexFromStart(down - 0.5), 0, lastY));
}

QPoint tldGridView::dragSteps(const QPoint &point) const
{
    const QPoint moved = point - pressPoint;
    return QPoint(qRound(moved.x() * halvesPerTile / appearance.cell.width()),
                  qRound(moved.y() * halvesPerTile / appearance.cell.height()));
}

bool tldGridView::isShown(int tileLayer) const
{
    return allLayers || tileLayer == layer;
}

int tldGridView::tileOnCurrentLayer(const QPoint &point) const
{
    const QPoint cell = cellAt(point);
    const QVector<int> here = layout.cells().tilesAt(layer, cell.x(), cell.y());
    return here.isEmpty() ? -1 : here.first();
}

int tldGridView::topShownTile(const QPoint &point) const
{
    const QPoint cell = cellAt(point);
    const int lowest = allLayers ? 1 : layer;
    for (int level = layer; level >= lowest; --level) {
        const QVector<int> here = layout.cells().tilesAt(level, cell.x(), cell.y());
        if (!here.isEmpty())
            return here.first();
    }
    return -1;
}

int tldGridView::landingLayer(const QPoint &place) const
{
    if (layering == tldLayering::KeepLayers)
        return layer;
    return layout.cells().highestUnder(place.x(), place.y()) + 1;
}

std::optional<QPoint> tldGridView::hoveredPlace() const
{
    if (!pointerInside)
        return std::nullopt;
    return placeAt(pointer);
}

void tldGridView::check(bool done)
{
    if (!done)
        emit refused(layout.refusal());
}

void tldGridView::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    pressPoint = event->pos();
    if (event->button() == Qt::RightButton) {
        const int hit = topShownTile(event->pos());
        if (hit >= 0)
            check(layout.removeTiles({hit}));
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool adding = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    const int hit = tileOnCurrentLayer(event->pos());
    if (hit >= 0 && adding) {
        QSet<int> chosen = layout.selection();
        if (!chosen.remove(hit))
            chosen.insert(hit);
        layout.select(chosen);
        gesture = Gesture::None;
    } else if (hit >= 0) {
        if (!layout.selection().contains(hit))
            layout.select({hit});
        gesture = Gesture::PendingDrag;
    } else {
        bandAdds = adding;
        gesture = adding ? Gesture::Band : Gesture::PendingPlace;
    }
    update();
}

void tldGridView::mouseMoveEvent(QMouseEvent *event)
{
    pointer = event->pos();
    pointerInside = true;
    const bool far = (event->pos() - pressPoint).manhattanLength() >= QApplication::startDragDistance();
    if (gesture == Gesture::PendingDrag && far)
        gesture = Gesture::Dragging;
    else if (gesture == Gesture::PendingPlace && far)
        gesture = Gesture::Band;
    const QPoint place = placeAt(pointer);
    emit pointerMoved(tr("x %1, y %2").arg(place.x()).arg(place.y()));
    update();
}

void tldGridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Gesture finished = gesture;
    gesture = Gesture::None;
    lastClickPlaced = false;
    if (finished == Gesture::PendingPlace && boardRect().contains(event->pos())) {
        lastClickPlaced = place(event->pos(), layering);
    } else if (finished == Gesture::PendingPlace) {
        layout.select({});
    } else if (finished == Gesture::Dragging) {
        const QPoint steps = dragSteps(event->pos());
        check(layout.moveTiles(layout.selection(), steps.x(), steps.y(), layering));
    } else if (finished == Gesture::Band) {
        finishBand(bandAdds);
    }
    update();
}

void tldGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The double click's first click has already placed a tile on an empty place; one is
    // enough there.
    if (event->button() == Qt::LeftButton && !lastClickPlaced && tileOnCurrentLayer(event->pos()) >= 0)
        place(event->pos(), tldLayering::LandOnTop);
}

bool tldGridView::place(const QPoint &point, tldLayering how)
{
    const QPoint spot = placeAt(point);
    const bool placed = layout.placeTile({layer, spot.x(), spot.y()}, how);
    check(placed);
    // A tile that landed above the current layer would otherwise show as a ghost.
    if (placed && layout.positions().last().layer > layer)
        setCurrentLayer(layout.positions().last().layer);
    return placed;
}

void tldGridView::finishBand(bool adding)
{
    const QRect band = QRect(pressPoint, pointer).normalized();
    QSet<int> chosen = adding ? layout.selection() : QSet<int>();
    const QVector<tlTilePosition> &tiles = layout.positions();
    for (int i = 0; i < tiles.size(); ++i) {
        const tlTilePosition &tile = tiles.at(i);
        if (tile.layer <= layer && isShown(tile.layer) && band.intersects(faceRect(tile)))
            chosen.insert(i);
    }
    layout.select(chosen);
}

void tldGridView::leaveEvent(QEvent *)
{
    pointerInside = false;
    emit pointerMoved(QString());
    update();
}

void tldGridView::keyPressEvent(QKeyEvent *event)
{
    // Arrows move the selection by half a tile, with Shift by a whole one.
    const int step = event->modifiers() & Qt::ShiftModifier ? int(halvesPerTile) : 1;
    QPoint move;
    switch (event->key()) {
    case Qt::Key_Left: move = {-step, 0}; break;
    case Qt::Key_Right: move = {step, 0}; break;
    case Qt::Key_Up: move = {0, -step}; break;
    case Qt::Key_Down: move = {0, step}; break;
    case Qt::Key_Escape: layout.select({}); return;
    default: QWidget::keyPressEvent(event); return;
    }
    if (!layout.selection().isEmpty())
        check(layout.moveTiles(layout.selection(), move.x(), move.y(), tldLayering::KeepLayers));
}

void tldGridView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!appearance.transparent)
        p.fillRect(boardRect(), appearance.board);
    paintGrid(p);
    paintTiles(p);
    paintMarks(p);
    paintPreview(p);
}

void tldGridView::paintGrid(QPainter &p) const
{
    QColor line = appearance.transparent ? palette().color(QPalette::WindowText) : QColor(Qt::white);
    const QRect board = boardRect();
    const tldBoardLimits room = layout.limits();
    const int columns = int(halvesPerTile) * room.tilesAcross;
    const int rows = int(halvesPerTile) * room.tilesDown;
    for (int column = 0; column <= columns; ++column) {
        line.setAlpha(column % 2 ? halfLineAlpha : wholeLineAlpha);
        p.setPen(line);
        const int x = faceRect(column, 0).left();
        p.drawLine(x, board.top(), x, board.bottom());
    }
    for (int row = 0; row <= rows; ++row) {
        line.setAlpha(row % 2 ? halfLineAlpha : wholeLineAlpha);
        p.setPen(line);
        const int y = faceRect(0, row).top();
        p.drawLine(board.left(), y, board.right(), y);
    }
}

void tldGridView::paintTiles(QPainter &p)
{
    const QVector<tlTilePosition> &tiles = layout.positions();
    QVector<int> order(tiles.size());
    std::iota(order.begin(), order.end(), 0);
    // Higher layers over lower ones; within a layer, as on the board, tiles further right
    // or down over their neighbours, whose edges they cover.
    std::stable_sort(order.begin(), order.end(), [&tiles](int a, int b) {
        const tlTilePosition &s = tiles.at(a);
        const tlTilePosition &t = tiles.at(b);
        return s.layer != t.layer ? s.layer < t.layer : s.x + s.y < t.x + t.y;
    });
    for (int index : order) {
        const tlTilePosition &tile = tiles.at(index);
        if (!isShown(tile.layer))
            continue;
        const bool selected = layout.selection().contains(index);
        tldTilePainter::Look look = tldTilePainter::Look::Normal;
        if (selected)
            look = tldTilePainter::Look::Selected;
        else if (tile.layer < layer)
            look = tldTilePainter::Look::Dimmed;
        p.setOpacity(tile.layer > layer ? ghostOpacity : 1.0);
        painter.paint(p, faceRect(tile), tile.layer, look, layer - tile.layer);
        // With its tile, so that the tiles above cover it as they cover the tile.
        const auto step = removalStep.constFind(index);
        if (step != removalStep.cend())
            paintRemovalStep(p, faceRect(tile), *step);
    }
    p.setOpacity(1.0);
}

void tldGridView::outlineFace(QPainter &p, const QRect &face, const QColor &colour,
                              Qt::BrushStyle hatch) const
{
    // Hatched, so that a mark never passes for the selection's tint.
    p.setPen(QPen(colour, markWidth));
    p.setBrush(QBrush(colour, hatch));
    p.drawRect(face.adjusted(1, 1, -1, -1));
}

void tldGridView::paintMarks(QPainter &p) const
{
    const QVector<tlTilePosition> &tiles = layout.positions();
    // Marks stay in sight over whatever lies on the marked tile.
    for (int index : layout.floating()) {
        if (isShown(tiles.at(index).layer))
            outlineFace(p, faceRect(tiles.at(index)), floatingColour, Qt::BDiagPattern);
    }
    for (int index : layout.overlapping()) {
        if (isShown(tiles.at(index).layer))
            outlineFace(p, faceRect(tiles.at(index)), overlapColour, Qt::DiagCrossPattern);
    }
    p.setBrush(Qt::NoBrush);
    if (gesture == Gesture::Band) {
        p.setPen(QPen(selectionColour, 1, Qt::DashLine));
        p.drawRect(QRect(pressPoint, pointer).normalized());
    }
}

void tldGridView::paintRemovalStep(QPainter &p, const QRect &face, int step) const
{
    const QPoint centre = face.center();
    const QRect disc(centre - QPoint(numberRadius, numberRadius), QSize(2 * numberRadius, 2 * numberRadius));
    p.setPen(Qt::white);
    p.setBrush(selectionColour);
    p.drawEllipse(disc);
    p.drawText(disc, Qt::AlignCenter, QString::number(step));
    p.setBrush(Qt::NoBrush);
}

void tldGridView::paintPreview(QPainter &p) const
{
    if (!pointerInside)
        return;
    if (gesture == Gesture::Dragging) {
        const QPoint steps = dragSteps(pointer);
        p.setPen(QPen(selectionColour, previewWidth, Qt::DashLine));
        for (int index : layout.selection()) {
            const tlTilePosition &tile = layout.positions().at(index);
            p.drawRect(faceRect(tile.x + steps.x(), tile.y + steps.y()));
        }
        return;
    }
    if (gesture != Gesture::None || tileOnCurrentLayer(pointer) >= 0)
        return;
    // Where a click would put a tile, and on which layer.
    const QPoint place = placeAt(pointer);
    const QRect face = faceRect(place.x(), place.y());
    p.setPen(QPen(appearance.transparent ? palette().color(QPalette::WindowText) : previewColour,
                  previewWidth, Qt::DashLine));
    p.drawRect(face.adjusted(1, 1, -1, -1));
    p.drawText(face, Qt::AlignCenter, QString::number(landingLayer(place)));
}
