// Renders a freshly dealt board to a PNG picture exactly as the board scene lays it out,
// to look at the tile pictures in place without playing.
//
// tilvane-render-board --layout NAME|FILE --style 0|1|2 [--seed N] [--tile-height H]
//                      [--highlight-free] -o out.png

#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlTilePictures.h"
#include "tleGameEngine.h"
#include "tlgBoard.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

const uint32_t defaultSeed = 1;

[[noreturn]] void refuse(const QString &message)
{
    std::fprintf(stderr, "tilvane-render-board: %s\n", qPrintable(message));
    std::exit(EXIT_FAILURE);
}

QString layoutFile(const QString &given)
{
    if (QFileInfo(given).isFile())
        return given;
    const QString found = tlLayoutLocator::findLayoutFile(given, 0);
    if (found.isEmpty())
        refuse(QStringLiteral("no layout file or built-in layout named '%1'").arg(given));
    return found;
}

}

int main(int argc, char **argv)
{
    // Nothing is shown on a screen; the offscreen platform works everywhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt would take --style for the widget style: it sees the program name only.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgumentCount = 1;
    QApplication app(qtArgumentCount, argv);

    // The game's defaults, never the player's stored preferences.
    tlSettings &settings = tlSettings::instance();
    settings.boardFrameWidth = settings.defaultBoardFrameWidth;
    settings.thumbnailHeight = settings.defaultThumbnailHeight;
    settings.maxTiles = settings.defaultMaxTiles;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Renders a dealt board with the game's tile pictures to a PNG file."));
    parser.addHelpOption();
    const QCommandLineOption layoutOption(QStringLiteral("layout"),
                                          QStringLiteral("Built-in layout name or layout file."),
                                          QStringLiteral("layout"));
    const QCommandLineOption styleOption(QStringLiteral("style"),
                                         QStringLiteral("Tile style: 0 classic, 1 modern, 2 picasso."),
                                         QStringLiteral("style"), QStringLiteral("0"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the deal."),
                                        QStringLiteral("seed"), QString::number(defaultSeed));
    const QCommandLineOption heightOption(QStringLiteral("tile-height"),
                                          QStringLiteral("Tile height in pixels."),
                                          QStringLiteral("pixels"),
                                          QString::number(settings.defaultTileHeight));
    const QCommandLineOption highlightOption(QStringLiteral("highlight-free"),
                                             QStringLiteral("Show the free tiles highlighted."));
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("PNG file to write."), QStringLiteral("file"));
    parser.addOptions({layoutOption, styleOption, seedOption, heightOption, highlightOption,
                       outputOption});
    parser.process(arguments);

    if (!parser.isSet(layoutOption) || !parser.isSet(outputOption))
        refuse(QStringLiteral("--layout and -o are required (see --help)"));
    bool ok = false;
    const std::optional<tlTileStyle> style =
        tl::tileStyleFromNumber(parser.value(styleOption).toInt(&ok));
    if (!ok || !style)
        refuse(QStringLiteral("--style takes 0, 1 or 2"));
    const uint32_t seed = parser.value(seedOption).toUInt(&ok);
    if (!ok)
        refuse(QStringLiteral("--seed takes a non-negative number"));
    const int tileHeight = parser.value(heightOption).toInt(&ok);
    if (!ok || tileHeight <= 0)
        refuse(QStringLiteral("--tile-height takes a positive number"));

    tleGameEngine engine;
    engine.seed(seed);
    if (!engine.init(layoutFile(parser.value(layoutOption))))
        refuse(QStringLiteral("the layout cannot be dealt"));
    engine.shuffleTiles();

    tlgTileHandler tiles;
    if (!tiles.load(*style, tileHeight))
        refuse(tiles.failureMessage());

    tlgBoard board;
    board.setEngine(&engine);
    board.replaceTiles(tiles);
    board.placeTiles(settings.boardFrameWidth);
    board.showTiles();
    for (tlgTile *item : board.tiles())
        item->setHighlighted(parser.isSet(highlightOption) && engine.board()->isFree(item->tile()));
    const QRectF area = board.sceneRect();

    QImage picture(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(settings.defaultBackgroundColor);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        board.render(&painter, QRectF(picture.rect()), area);
    }
    const QString output = parser.value(outputOption);
    if (!picture.save(output, "PNG"))
        refuse(QStringLiteral("cannot write '%1'").arg(output));
    std::printf("%s: %dx%d, %zu tiles\n", qPrintable(output), picture.width(), picture.height(),
                engine.tiles().size());
    return EXIT_SUCCESS;
}
