#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlStdoutCapture.h"
#include "tlTilePictures.h"
#include "tlTestEnvironment.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgTile.h"

#include <QApplication>
#include <QAbstractAnimation>
#include <QGraphicsSceneMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QUrl>
#include <functional>
#include <memory>

namespace {

// Drives Qt's animations by hand instead of by the wall clock.
class ManualAnimationDriver : public QAnimationDriver
{
public:
    ManualAnimationDriver() { install(); }
    ~ManualAnimationDriver() override { uninstall(); }

    qint64 elapsed() const override { return now; }
    void advanceBy(qint64 milliseconds)
    {
        // Qt hands a new animation to the driver in two posted calls.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        now += milliseconds;
        advance();
    }

private:
    qint64 now = 0;
};

const uint32_t dealSeed = 20240611;
// Plain stand-ins for the tile pictures: the scene's rules depend on sizes only.
const QSize pictureSize(62, 76);
const int facePoints = 6;  // sample points per side when looking for a clickable spot

QString flag(const char *name, bool on)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(name),
                                       on ? QStringLiteral("true") : QStringLiteral("false"));
}

// A dealt Turtle with one picture item per engine tile, made the way the window makes
// them, and a log of every board signal in the order they came.
class Table
{
public:
    explicit Table(uint32_t seed = dealSeed)
    {
        engine.seed(seed);
        if (!engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)))
            qFatal("cannot deal the Turtle layout");
        engine.shuffleTiles();
        QPixmap normal(pictureSize), highlighted(pictureSize);
        normal.fill(Qt::white);
        highlighted.fill(Qt::yellow);
        for (tleTile *record : engine.tiles()) {
            auto *item = new tlgTile(record, normal, highlighted);
            board.addItem(item);
            item->updatePosition();
            items << item;
        }
        board.setEngine(&engine);
        record(&tlgBoard::updateCounters, "updateCounters");
        record(&tlgBoard::tilesRemoved, "tilesRemoved");
        record(&tlgBoard::tilesUndoRemoved, "tilesUndoRemoved");
        record(&tlgBoard::activateUndo, "activateUndo");
        record(&tlgBoard::activateFindMatching, "activateFindMatching");
        record(&tlgBoard::activatePeek, "activatePeek");
        record(&tlgBoard::activateReplay, "activateReplay");
        QObject::connect(&board, &tlgBoard::tileSelected, [this](int kind) {
            log << QStringLiteral("tileSelected %1").arg(kind);
        });
    }

    tlgTile *item(const tleTile *tile) const
    {
        for (tlgTile *candidate : items) {
            if (candidate->tile() == tile)
                return candidate;
        }
        return nullptr;
    }

    bool isFree(const tlgTile *item) const { return engine.board()->isFree(item->tile()); }

    // Free tiles, in engine order, that satisfy `accept`.
    QVector<tlgTile *> freeTiles(const std::function<bool(tlgTile *)> &accept = {}) const
    {
        QVector<tlgTile *> found;
        for (tlgTile *candidate : items) {
            if (candidate->isVisible() && isFree(candidate) && (!accept || accept(candidate)))
                found << candidate;
        }
        return found;
    }

    // A removable pair as items, the first the engine lists.
    std::pair<tlgTile *, tlgTile *> removablePair() const
    {
        tleTilePairList pairs;
        engine.board()->possiblePairs(pairs);
        if (pairs.empty())
            return {nullptr, nullptr};
        return {item(pairs.front().first), item(pairs.front().second)};
    }

    // A point on the tile's face where the board finds this tile, if there is one.
    bool pointOn(const tlgTile *target, QPointF &point) const
    {
        const QRectF bounds = target->sceneBoundingRect();
        const qreal faceWidth = bounds.width() * (1 - tlgTile::sideEdge);
        const qreal faceHeight = bounds.height() * (1 - tlgTile::bottomEdge);
        for (int i = 1; i < facePoints; ++i) {
            for (int j = 1; j < facePoints; ++j) {
                const QPointF candidate = bounds.topLeft()
                    + QPointF(faceWidth * i / facePoints, faceHeight * j / facePoints);
                if (board.tileAt(candidate) == target) {
                    point = candidate;
                    return true;
                }
            }
        }
        return false;
    }

    bool send(const tlgTile *target, Qt::MouseButton button,
              QEvent::Type type = QEvent::GraphicsSceneMousePress)
    {
        QPointF point;
        if (!pointOn(target, point))
            return false;
        sendAt(point, button, type);
        return true;
    }

    void sendAt(const QPointF &point, Qt::MouseButton button,
                QEvent::Type type = QEvent::GraphicsSceneMousePress)
    {
        QGraphicsSceneMouseEvent event(type);
        event.setScenePos(point);
        event.setButton(button);
        event.setButtons(button);
        QApplication::sendEvent(&board, &event);
    }

    bool click(const tlgTile *target) { return send(target, Qt::LeftButton); }

    // A point right of and below every tile.
    QPointF background() const
    {
        return board.itemsBoundingRect().bottomRight() + QPointF(pictureSize.width(), 0);
    }

    QStringList takeLog()
    {
        const QStringList taken = log;
        log.clear();
        return taken;
    }

    tleGameEngine engine;
    tlgBoard board;
    QVector<tlgTile *> items;  // in engine order
    QStringList log;

private:
    void record(void (tlgBoard::*signal)(), const char *name)
    {
        QObject::connect(&board, signal, [this, name] { log << QString::fromLatin1(name); });
    }

    void record(void (tlgBoard::*signal)(bool), const char *name)
    {
        QObject::connect(&board, signal, [this, name](bool on) { log << flag(name, on); });
    }
};

QString kindEntry(const tlgTile *item)
{
    return QStringLiteral("tileSelected %1").arg(item->tile()->type);
}

QStringList afterFirstSelected(const tlgTile *item)
{
    return {kindEntry(item), flag("activateFindMatching", true),
            flag("activatePeek", item->tile()->layer > 0)};
}

const QStringList removalSignals = {
    QStringLiteral("activateUndo true"), QStringLiteral("activateReplay true"),
    QStringLiteral("tileSelected -1"), QStringLiteral("updateCounters"),
    QStringLiteral("tilesRemoved"),
};

}

class BoardSceneTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tilePlacement();
    void tileAtPrefersOwnerOfEdgeStrip();
    void neighboursMeetWithoutSeam_data();
    void neighboursMeetWithoutSeam();
    void clicksThatSelectNothing();
    void selectingAndReplacingFirst();
    void matchingSecondThenThirdIgnored();
    void deselectingWithTwoSelected();
    void rightClickRemovesSelectedPair();
    void doubleClickRemovesOnlyOnSelection();
    void refusedRemovalIsReported();
    void undoRestoresPairAndFlags();
    void undoWithoutHistoryOnlyClearsSelection();
    void peekFlagFollowsLayer();
    void showPairReplacesSelection();
    void findMatchingTile();
    void peekAnimation();
    void clicksThroughTheView();
    void droppedUrlsBecomeFiles();
    void dropWithoutUrlsIsAcceptedSilently();
};

void BoardSceneTest::initTestCase()
{
    tlSettings::instance().readSettings();
    QCOMPARE(tlSettings::instance().maxTiles, tle::setSize);
}

void BoardSceneTest::tilePlacement()
{
    tlSettings &settings = tlSettings::instance();
    const int frame = settings.boardFrameWidth;
    QCOMPARE(frame, settings.defaultBoardFrameWidth);

    // A selectable pixmap item's bounding rectangle reaches half a pixel beyond the
    // picture on every side, and the placement follows the rectangle. The sizes make
    // edge fractions that are not exact in binary, so that the single-precision steps
    // show in the result.
    QPixmap picture(99, 119);
    picture.fill(Qt::white);
    tleTile record;
    record.x = 4;
    record.y = 2;
    record.layer = 1;
    tlgTile item(&record, picture, picture);
    QCOMPARE(item.boundingRect().size(), QSizeF(100, 120));
    item.updatePosition();
    QCOMPARE(item.zValue(), 6306.0);
    QCOMPARE(float(item.pos().x()), 208.0f);
    QCOMPARE(float(item.pos().y()), 139.4f);

    // The frame moves everything; the lift grows with the layer.
    settings.boardFrameWidth = 0;
    record.layer = 3;
    item.updatePosition();
    settings.boardFrameWidth = frame;
    QCOMPARE(float(item.pos().x()), 178.0f - 3 * 10.0f);
    QCOMPARE(item.zValue(), 18306.0);
}

void BoardSceneTest::neighboursMeetWithoutSeam_data()
{
    QTest::addColumn<int>("height");
    for (int height : {40, 70, 100})
        QTest::newRow(qPrintable(QString::number(height))) << height;
}

void BoardSceneTest::neighboursMeetWithoutSeam()
{
    QFETCH(int, height);
    // A picture laid out like the real ones: a white face and red edge strips.
    const QSize size(qRound(height / tl::tilePictureRatio), height);
    QImage art(size, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::red);
    QPainter(&art).fillRect(0, 0, qCeil(size.width() * (1 - tlgTile::sideEdge)),
                            qCeil(size.height() * (1 - tlgTile::bottomEdge)), Qt::white);
    const QPixmap picture = QPixmap::fromImage(art);

    // A block of tiles of one layer placed by the board's rule; positions fall on many
    // different fractions of a pixel.
    const int across = 6, down = 4;
    tleTile records[across * down];
    QGraphicsScene scene;
    QVector<tlgTile *> items;
    for (int i = 0; i < across * down; ++i) {
        records[i].x = 2 * (i % across);
        records[i].y = 2 * (i / across);
        items << new tlgTile(&records[i], picture, picture);
        scene.addItem(items.last());
        items.last()->updatePosition();
    }
    const QRectF area = scene.itemsBoundingRect();
    QImage shot(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::green);
    QPainter painter(&shot);
    scene.render(&painter, QRectF(shot.rect()), area);
    painter.end();

    // Within the block faces meet faces: no strip shows between them, no gap either.
    const QSizeF cell = items.first()->boundingRect().size();
    const QPointF faceEnd = items.last()->pos()
        + QPointF(cell.width() * (1 - tlgTile::sideEdge), cell.height() * (1 - tlgTile::bottomEdge));
    const QRect faces =
        QRectF(items.first()->pos() - area.topLeft(), faceEnd - area.topLeft()).toRect().adjusted(1, 1, -1, -1);
    for (int y = faces.top(); y <= faces.bottom(); ++y) {
        for (int x = faces.left(); x <= faces.right(); ++x) {
            if (shot.pixel(x, y) != QColor(Qt::white).rgb())
                QFAIL(qPrintable(QStringLiteral("seam at (%1, %2)").arg(x).arg(y)));
        }
    }
}

void BoardSceneTest::tileAtPrefersOwnerOfEdgeStrip()
{
    Table t;
    const QSizeF size = t.items.first()->boundingRect().size();
    const qreal strip = size.width() * tlgTile::sideEdge;
    const qreal bottom = size.height() * tlgTile::bottomEdge;
    int checkedAcross = 0, checkedDown = 0;
    for (tlgTile *a : qAsConst(t.items)) {
        for (tlgTile *b : qAsConst(t.items)) {
            const tleTile *ra = a->tile();
            const tleTile *rb = b->tile();
            const bool across = rb->x == ra->x + 2 && rb->y == ra->y;
            const bool down = rb->x == ra->x && rb->y == ra->y + 2;
            if (ra->layer != rb->layer || !(across || down))
                continue;
            // The strip along a's right or bottom edge, which b is drawn over.
            const QPointF point = a->pos()
                + (across ? QPointF(size.width() - strip / 2, size.height() / 3)
                          : QPointF(size.width() / 3, size.height() - bottom / 2));
            const QList<QGraphicsItem *> under = t.board.items(point);
            if (under.size() != 2 || !under.contains(a))
                continue;  // another tile reaches the spot too
            QCOMPARE(under.first(), static_cast<QGraphicsItem *>(b));
            QVERIFY(b->zValue() > a->zValue());
            QCOMPARE(t.board.tileAt(point), a);
            ++(across ? checkedAcross : checkedDown);
        }
    }
    QVERIFY(checkedAcross > 0);
    QVERIFY(checkedDown > 0);

    // A tile on a higher layer covers the ones it lies on, and hidden tiles are not there.
    tlgTile *top = nullptr;
    for (tlgTile *item : qAsConst(t.items)) {
        if (!top || item->tile()->layer > top->tile()->layer)
            top = item;
    }
    const QPointF centre = top->sceneBoundingRect().center();
    QVERIFY(t.board.items(centre).size() > 1);
    QCOMPARE(t.board.tileAt(centre), top);
    top->hide();
    tlgTile *below = t.board.tileAt(centre);
    QVERIFY(below);
    QCOMPARE(below->tile()->layer, top->tile()->layer - 1);
    QCOMPARE(t.board.tileAt(t.background()), nullptr);
}

void BoardSceneTest::clicksThatSelectNothing()
{
    Table t;
    tlgTile *blocked = nullptr;
    QPointF point;
    for (tlgTile *item : qAsConst(t.items)) {
        if (!t.isFree(item) && t.pointOn(item, point)) {
            blocked = item;
            break;
        }
    }
    QVERIFY(blocked);
    QVERIFY(t.click(blocked));
    QVERIFY(!blocked->isHighlighted());
    t.sendAt(t.background(), Qt::LeftButton);

    // Also with a tile selected: the selection stays as it is.
    tlgTile *chosen = t.freeTiles().first();
    QVERIFY(t.click(chosen));
    t.takeLog();
    QVERIFY(t.click(blocked));
    t.sendAt(t.background(), Qt::LeftButton);
    t.sendAt(t.background(), Qt::RightButton);
    QVERIFY(t.send(chosen, Qt::MiddleButton));
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.firstSelected(), chosen);
    QVERIFY(chosen->isHighlighted());
    QVERIFY(!blocked->isHighlighted());
    QCOMPARE(t.engine.tilesLeft(), tle::setSize);
}

void BoardSceneTest::selectingAndReplacingFirst()
{
    Table t;
    tlgTile *a = t.freeTiles().first();
    const QVector<tlgTile *> others =
        t.freeTiles([a](tlgTile *item) { return !tilesMatch(item->tile(), a->tile()); });
    QVERIFY(!others.isEmpty());
    tlgTile *b = others.first();

    QVERIFY(t.click(a));
    QCOMPARE(t.takeLog(), afterFirstSelected(a));
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QVERIFY(a->isHighlighted());

    QVERIFY(t.click(b));
    QCOMPARE(t.takeLog(), afterFirstSelected(b));
    QCOMPARE(t.board.firstSelected(), b);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QVERIFY(!a->isHighlighted());
    QVERIFY(b->isHighlighted());
}

void BoardSceneTest::matchingSecondThenThirdIgnored()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(a && b);
    QVERIFY(t.click(a));
    t.takeLog();
    QVERIFY(t.click(b));
    QCOMPARE(t.takeLog(), (QStringList{kindEntry(b), flag("activateFindMatching", false),
                                       flag("activatePeek", false)}));
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), b);
    QVERIFY(a->isHighlighted() && b->isHighlighted());

    const QVector<tlgTile *> rest =
        t.freeTiles([a = a, b = b](tlgTile *item) { return item != a && item != b; });
    QVERIFY(!rest.isEmpty());
    QVERIFY(t.click(rest.first()));
    QCOMPARE(t.log, QStringList());
    QVERIFY(!rest.first()->isHighlighted());
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), b);
}

void BoardSceneTest::deselectingWithTwoSelected()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(a && b);

    // Taking back the first leaves the second as the only one.
    QVERIFY(t.click(a) && t.click(b));
    t.takeLog();
    QVERIFY(t.click(a));
    QCOMPARE(t.takeLog(), (QStringList{flag("activateFindMatching", true),
                                       flag("activatePeek", b->tile()->layer > 0)}));
    QCOMPARE(t.board.firstSelected(), b);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QVERIFY(!a->isHighlighted());
    QVERIFY(b->isHighlighted());

    // Taking back the last leaves nothing.
    QVERIFY(t.click(b));
    QCOMPARE(t.takeLog(), (QStringList{flag("activateFindMatching", false),
                                       flag("activatePeek", false)}));
    QCOMPARE(t.board.firstSelected(), nullptr);
    QVERIFY(!b->isHighlighted());

    // Taking back the second keeps the first.
    QVERIFY(t.click(a) && t.click(b));
    t.takeLog();
    QVERIFY(t.click(b));
    QCOMPARE(t.takeLog(), (QStringList{flag("activateFindMatching", true),
                                       flag("activatePeek", a->tile()->layer > 0)}));
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QVERIFY(a->isHighlighted());
    QVERIFY(!b->isHighlighted());
}

void BoardSceneTest::rightClickRemovesSelectedPair()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(a && b);
    tlgTile *blocked = nullptr;
    QPointF blockedPoint;
    for (tlgTile *item : qAsConst(t.items)) {
        if (!t.isFree(item) && t.pointOn(item, blockedPoint)) {
            blocked = item;
            break;
        }
    }
    QVERIFY(blocked);

    // With one tile selected a right click does nothing.
    QVERIFY(t.click(a));
    t.takeLog();
    QVERIFY(t.send(a, Qt::RightButton));
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.engine.tilesLeft(), tle::setSize);

    QVERIFY(t.click(b));
    t.takeLog();
    t.sendAt(t.background(), Qt::RightButton);
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.secondSelected(), b);

    // Any tile will do, free or not.
    t.sendAt(blockedPoint, Qt::RightButton);
    QCOMPARE(t.takeLog(), removalSignals);
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 2);
    QVERIFY(!a->isVisible() && !b->isVisible());
    QVERIFY(blocked->isVisible());
    QCOMPARE(t.board.firstSelected(), nullptr);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QCOMPARE(t.engine.history().back(), tleTilePair(a->tile(), b->tile()));
}

void BoardSceneTest::doubleClickRemovesOnlyOnSelection()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(a && b);
    const QVector<tlgTile *> rest =
        t.freeTiles([a = a, b = b](tlgTile *item) { return item != a && item != b; });
    QVERIFY(!rest.isEmpty());

    QVERIFY(t.click(a));
    t.takeLog();
    QVERIFY(t.send(a, Qt::LeftButton, QEvent::GraphicsSceneMouseDoubleClick));
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.firstSelected(), a);
    QVERIFY(t.click(b));
    t.takeLog();
    QVERIFY(t.send(rest.first(), Qt::LeftButton, QEvent::GraphicsSceneMouseDoubleClick));
    t.sendAt(t.background(), Qt::LeftButton, QEvent::GraphicsSceneMouseDoubleClick);
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.engine.tilesLeft(), tle::setSize);

    QVERIFY(t.send(a, Qt::LeftButton, QEvent::GraphicsSceneMouseDoubleClick));
    QCOMPARE(t.takeLog(), removalSignals);
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 2);
    QVERIFY(!a->isVisible() && !b->isVisible());

    // The second selected tile works the same.
    const auto [c, d] = t.removablePair();
    QVERIFY(t.click(c) && t.click(d));
    t.takeLog();
    QVERIFY(t.send(d, Qt::LeftButton, QEvent::GraphicsSceneMouseDoubleClick));
    QCOMPARE(t.takeLog(), removalSignals);
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 4);
}

void BoardSceneTest::refusedRemovalIsReported()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(a && b);
    QVERIFY(t.click(a) && t.click(b));
    t.takeLog();
    // The engine has moved on behind the board's back.
    QVERIFY(t.engine.removePair(a->tile(), b->tile()));

    tlStdoutCapture capture;
    QVERIFY(t.send(a, Qt::RightButton));
    QCOMPARE(capture.text(),
             QStringLiteral("tlgBoard::mousePressEvent(): Warning, cannot remove tiles\n"));
    QCOMPARE(t.log, QStringList());
    QVERIFY(a->isVisible() && b->isVisible());
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), b);
}

void BoardSceneTest::undoRestoresPairAndFlags()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(t.click(a) && t.click(b));
    t.board.removeSelectedPair();
    const auto [c, d] = t.removablePair();
    QVERIFY(t.click(c) && t.click(d));
    t.board.removeSelectedPair();
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 4);

    // An undo that leaves pairs removed keeps undo and replay on; a selection goes.
    tlgTile *chosen = t.freeTiles().first();
    QVERIFY(t.click(chosen));
    t.takeLog();
    t.board.undoLastPair();
    QCOMPARE(t.takeLog(), (QStringList{QStringLiteral("updateCounters"), flag("activateUndo", true),
                                       flag("activateReplay", true),
                                       QStringLiteral("tilesUndoRemoved")}));
    QVERIFY(c->isVisible() && d->isVisible());
    QVERIFY(!c->isHighlighted() && !d->isHighlighted() && !chosen->isHighlighted());
    QCOMPARE(t.board.firstSelected(), nullptr);
    QVERIFY(!a->isVisible());

    // Back at the full set both go off.
    t.board.undoLastPair();
    QCOMPARE(t.takeLog(), (QStringList{QStringLiteral("updateCounters"), flag("activateUndo", false),
                                       flag("activateReplay", false),
                                       QStringLiteral("tilesUndoRemoved")}));
    QVERIFY(a->isVisible() && b->isVisible());
    QCOMPARE(t.engine.tilesLeft(), tle::setSize);

    // Restored tiles are in play again.
    QVERIFY(t.click(a) && t.click(b));
    QCOMPARE(t.board.secondSelected(), b);
}

void BoardSceneTest::undoWithoutHistoryOnlyClearsSelection()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(t.click(a) && t.click(b));
    t.takeLog();
    t.board.undoLastPair();
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.firstSelected(), nullptr);
    QCOMPARE(t.board.secondSelected(), nullptr);
    QVERIFY(!a->isHighlighted() && !b->isHighlighted());
    QCOMPARE(t.engine.tilesLeft(), tle::setSize);
}

void BoardSceneTest::peekFlagFollowsLayer()
{
    Table t;
    const QVector<tlgTile *> ground = t.freeTiles([](tlgTile *item) { return item->tile()->layer == 0; });
    const QVector<tlgTile *> raised = t.freeTiles([](tlgTile *item) { return item->tile()->layer > 0; });
    QVERIFY(!ground.isEmpty() && !raised.isEmpty());
    QVERIFY(t.click(ground.first()));
    QCOMPARE(t.takeLog().last(), flag("activatePeek", false));
    QVERIFY(t.click(ground.first()));
    QCOMPARE(t.board.firstSelected(), nullptr);
    t.takeLog();
    QVERIFY(t.click(raised.first()));
    QCOMPARE(t.takeLog().last(), flag("activatePeek", true));
}

void BoardSceneTest::showPairReplacesSelection()
{
    Table t;
    const auto [a, b] = t.removablePair();
    const QVector<tlgTile *> others =
        t.freeTiles([a = a, b = b](tlgTile *item) { return item != a && item != b; });
    QVERIFY(!others.isEmpty());
    QVERIFY(t.click(others.first()));
    t.takeLog();

    t.board.showPair(a->tile(), b->tile());
    QCOMPARE(t.log, QStringList{QStringLiteral("updateCounters")});
    QCOMPARE(t.board.firstSelected(), a);
    QCOMPARE(t.board.secondSelected(), b);
    QVERIFY(a->isHighlighted() && b->isHighlighted());
    QVERIFY(!others.first()->isHighlighted());

    // The shown pair is a selection like any other.
    QVERIFY(t.send(a, Qt::RightButton));
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 2);
}

void BoardSceneTest::findMatchingTile()
{
    Table t;
    QVERIFY(!t.board.findMatchingTile());

    // A tile with at least two free partners: the one drawn on top of the others wins.
    tlgTile *chosen = nullptr;
    QVector<tlgTile *> partners;
    for (tlgTile *candidate : t.freeTiles()) {
        partners = t.freeTiles([candidate](tlgTile *item) {
            return item != candidate && tilesMatch(item->tile(), candidate->tile());
        });
        if (partners.size() >= 2) {
            chosen = candidate;
            break;
        }
    }
    QVERIFY(chosen);
    tlgTile *expected = partners.first();
    for (tlgTile *partner : qAsConst(partners)) {
        if (partner->zValue() > expected->zValue())
            expected = partner;
    }
    QVERIFY(t.click(chosen));
    t.takeLog();
    QVERIFY(t.board.findMatchingTile());
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.firstSelected(), chosen);
    QCOMPARE(t.board.secondSelected(), expected);
    QVERIFY(expected->isHighlighted());

    // With two selected there is nothing to look for.
    QVERIFY(!t.board.findMatchingTile());
    QCOMPARE(t.board.secondSelected(), expected);

    // Hidden partners do not count, and a tile without a free partner finds none.
    t.board.removeSelectedPair();
    tlgTile *lonely = nullptr;
    for (tlgTile *candidate : t.freeTiles()) {
        if (t.freeTiles([candidate](tlgTile *item) {
                 return item != candidate && tilesMatch(item->tile(), candidate->tile());
             }).isEmpty()) {
            lonely = candidate;
            break;
        }
    }
    QVERIFY(lonely);
    QVERIFY(t.click(lonely));
    t.takeLog();
    QVERIFY(!t.board.findMatchingTile());
    QCOMPARE(t.log, QStringList());
    QCOMPARE(t.board.firstSelected(), lonely);
    QCOMPARE(t.board.secondSelected(), nullptr);
}

void BoardSceneTest::peekAnimation()
{
    Table t;
    const auto [a, b] = t.removablePair();
    QVERIFY(!t.board.peekAnimation());
    QVERIFY(t.click(a) && t.click(b));
    QVERIFY(!t.board.peekAnimation());
    QVERIFY(t.click(b));

    // The animation runs on a clock the test turns by hand.
    ManualAnimationDriver driver;
    const QPointF start = a->pos();
    QVERIFY(t.board.peekAnimation());
    QVERIFY(!t.board.peekAnimation());
    driver.advanceBy(tlgBoard::peekMilliseconds / 2);
    QVERIFY(a->pos() != start);
    QVERIFY(!t.board.peekAnimation());  // still sliding
    driver.advanceBy(tlgBoard::peekMilliseconds / 2);
    QCOMPARE(a->pos(), start);
    QCOMPARE(t.board.firstSelected(), a);
    QVERIFY(t.board.peekAnimation());
}

void BoardSceneTest::clicksThroughTheView()
{
    Table t;
    tlgBoardView view;
    view.setScene(&t.board);
    view.resize(t.board.itemsBoundingRect().size().toSize() / 2);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const auto [a, b] = t.removablePair();
    const auto viewPoint = [&](const tlgTile *item) {
        QPointF point;
        if (!t.pointOn(item, point))
            qFatal("no clickable point on a free tile");
        view.centerOn(point);
        return view.mapFromScene(point);
    };
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, viewPoint(a));
    QCOMPARE(t.board.firstSelected(), a);
    // A double click arrives as a click, which selects, and then the double-click event,
    // which removes.
    const QPoint onB = viewPoint(b);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, onB);
    QCOMPARE(t.board.secondSelected(), b);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, onB);
    QCOMPARE(t.engine.tilesLeft(), tle::setSize - 2);
    QVERIFY(!a->isVisible() && !b->isVisible());
    QCOMPARE(t.log.mid(t.log.size() - removalSignals.size()), removalSignals);
}

void BoardSceneTest::droppedUrlsBecomeFiles()
{
    tlgBoardView view;
    QSignalSpy dropped(&view, &tlgBoardView::fileDropped);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/games/b.tlgf")),
                  QUrl::fromLocalFile(QStringLiteral("/games/with space.tlgf")),
                  QUrl::fromLocalFile(QStringLiteral("/games/a.tlgf"))});
    const QPoint where(10, 10);

    QDragEnterEvent enter(where, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::MoveAction);
    QDragMoveEvent move(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::CopyAction);

    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(dropped.size(), 3);
    QCOMPARE(dropped.at(0).at(0).toString(), QStringLiteral("/games/b.tlgf"));
    QCOMPARE(dropped.at(1).at(0).toString(), QStringLiteral("/games/with space.tlgf"));
    QCOMPARE(dropped.at(2).at(0).toString(), QStringLiteral("/games/a.tlgf"));
}

void BoardSceneTest::dropWithoutUrlsIsAcceptedSilently()
{
    tlgBoardView view;
    QSignalSpy dropped(&view, &tlgBoardView::fileDropped);
    QMimeData data;
    data.setText(QStringLiteral("/games/a.tlgf"));
    const QPoint where(10, 10);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(dropped.size(), 0);
}

TILVANE_TEST_MAIN(BoardSceneTest, QApplication)
#include "tst_boardscene.moc"
