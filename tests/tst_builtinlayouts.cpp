#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>
#include <map>

namespace {

const int tilesInSet = 144;
const int maxTilesWide = 17;
const int maxTilesHigh = 10;

bool overlap(const tlTilePosition &a, const tlTilePosition &b)
{
    return a.layer == b.layer && std::abs(a.x - b.x) < 2 && std::abs(a.y - b.y) < 2;
}

bool coversCell(const tlTilePosition &tile, int layer, int x, int y)
{
    return tile.layer == layer && x >= tile.x && x <= tile.x + 1 && y >= tile.y && y <= tile.y + 1;
}

}

// Every layout shipped with the game is a sound, playable design that fits a screen.
class BuiltInLayoutsTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutIsSound_data();
    void layoutIsSound();
    void turtleIsTheClassicTurtle();
    void checksumsAreDistinct();
};

void BuiltInLayoutsTest::layoutIsSound_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : tlSettings::builtInLayouts())
        QTest::newRow(qPrintable(name)) << name;
}

void BuiltInLayoutsTest::layoutIsSound()
{
    QFETCH(QString, name);
    const QString path = QStringLiteral(TILVANE_LAYOUTS_DIR "/") + name + QStringLiteral(".tllf");
    tlLayoutHandler layout;
    QVERIFY2(layout.open(path), qPrintable(path));
    QCOMPARE(layout.name(), name);
    QVERIFY(layout.verified());
    QCOMPARE(layout.positionCount(), tilesInSet);

    const QVector<tlTilePosition> &tiles = layout.positions();
    const auto byX = std::minmax_element(tiles.begin(), tiles.end(),
                                         [](auto &a, auto &b) { return a.x < b.x; });
    const auto byY = std::minmax_element(tiles.begin(), tiles.end(),
                                         [](auto &a, auto &b) { return a.y < b.y; });
    QCOMPARE(layout.lx(), byX.first->x);
    QCOMPARE(layout.ux(), byX.second->x);
    QCOMPARE(layout.ly(), byY.first->y);
    QCOMPARE(layout.uy(), byY.second->y);
    QVERIFY((layout.ux() - layout.lx() + 2) / 2 <= maxTilesWide);
    QVERIFY((layout.uy() - layout.ly() + 2) / 2 <= maxTilesHigh);

    QSet<int> layers;
    for (int i = 0; i < tiles.size(); ++i) {
        const tlTilePosition &tile = tiles.at(i);
        layers.insert(tile.layer);
        for (int j = i + 1; j < tiles.size(); ++j) {
            QVERIFY2(!overlap(tile, tiles.at(j)),
                     qPrintable(QStringLiteral("tiles %1 and %2 overlap").arg(i).arg(j)));
        }
        if (tile.layer == 1)
            continue;
        for (int cell = 0; cell < 4; ++cell) {
            const int x = tile.x + cell % 2;
            const int y = tile.y + cell / 2;
            const bool resting = std::any_of(tiles.begin(), tiles.end(), [&](auto &below) {
                return coversCell(below, tile.layer - 1, x, y);
            });
            QVERIFY2(resting, qPrintable(QStringLiteral("tile %1 (layer %2, x %3, y %4) hangs in the air")
                                             .arg(i).arg(tile.layer).arg(tile.x).arg(tile.y)));
        }
    }
    // Layers are counted from 1 without gaps.
    QCOMPARE(layers.size(), layout.maxLayer());
    QVERIFY(layers.contains(1));

    QCOMPARE(tlLayoutLocator::findLayoutFile(name, 0), path);
    QCOMPARE(tlLayoutLocator::findLayoutFile(name, layout.checksum()), path);
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral("Renamed ") + name, layout.checksum()),
             path);
}

void BuiltInLayoutsTest::turtleIsTheClassicTurtle()
{
    tlLayoutHandler layout;
    QVERIFY(layout.open(QStringLiteral(TILVANE_LAYOUTS_DIR "/Turtle.tllf")));
    std::map<int, int> perLayer;
    for (const tlTilePosition &tile : layout.positions())
        ++perLayer[tile.layer];
    QCOMPARE(perLayer, (std::map<int, int>{{1, 87}, {2, 36}, {3, 16}, {4, 4}, {5, 1}}));
    // Twelve tiles wide at the base plus the side tiles: one on the left, two on the right.
    QCOMPARE((layout.ux() - layout.lx() + 2) / 2, 15);
}

void BuiltInLayoutsTest::checksumsAreDistinct()
{
    // Game files name their layout by checksum, so two built-ins must never share one.
    QSet<uint32_t> checksums;
    for (const QString &name : tlSettings::builtInLayouts()) {
        tlLayoutHandler layout;
        QVERIFY(layout.open(QStringLiteral(TILVANE_LAYOUTS_DIR "/") + name + QStringLiteral(".tllf")));
        checksums.insert(layout.checksum());
    }
    QCOMPARE(checksums.size(), tlSettings::builtInLayouts().size());
}

TILVANE_TEST_MAIN(BuiltInLayoutsTest, QCoreApplication)
#include "tst_builtinlayouts.moc"
