// Draws every picture the game ships: the tile sets, the title pictures, the
// custom-layout preview and the tile examples shown when choosing a set.

#include "kinds.h"
#include "output.h"
#include "scenes.h"
#include "style.h"
#include "tile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

using namespace tileart;

const QSize kTileSize(kTileWidth, kTileHeight);
const QSize kTitleSize(3329, 2229);
const QSize kPreviewSize(1052, 719);

// Large tile examples; the third set's example is one pixel larger, as the game expects.
struct Example {
    const Style *style;
    QString prefix;
    QSize size;
};

struct Totals {
    int files = 0;
    qint64 bytes = 0;
    QStringList problems;

    void add(const QImage &image, const QString &path, QStringList (*check)(const QImage &, QSize), QSize size)
    {
        bytes += writeChecked(image, path, check, size, problems);
        ++files;
    }
};

void writeTileSets(const QString &dir, Totals &totals)
{
    for (const Style *style : allStyles()) {
        const QString styleDir = QDir(dir).filePath(style->name);
        for (int id = 0; id < kKindCount; ++id) {
            const QString stem = QDir(styleDir).filePath(kindStem(id));
            totals.add(renderTile(*style, id, false, kTileSize), stem + QStringLiteral("_normal.png"),
                       checkTilePicture, kTileSize);
            totals.add(renderTile(*style, id, true, kTileSize), stem + QStringLiteral("_highlighted.png"),
                       checkTilePicture, kTileSize);
        }
    }
}

void writeResources(const QString &dir, Totals &totals)
{
    const QDir out(dir);
    totals.add(renderTitlePicture(kTitleSize, TitleVariant::Splash), out.filePath(QStringLiteral("tlgSplash.png")),
               checkTitlePicture, kTitleSize);
    totals.add(renderTitlePicture(kTitleSize, TitleVariant::About), out.filePath(QStringLiteral("tlgAbout.png")),
               checkTitlePicture, kTitleSize);
    totals.add(renderUserLayoutPreview(kPreviewSize), out.filePath(QStringLiteral("UserLayout_Preview.png")),
               checkOpaquePicture, kPreviewSize);

    const std::vector<Example> examples{
        {&classicStyle(), QStringLiteral("Classic"), QSize(1242, 1519)},
        {&modernStyle(), QStringLiteral("Modern"), QSize(1242, 1519)},
        {&picassoStyle(), QStringLiteral("Picasso"), QSize(1243, 1520)},
    };
    const int exampleKinds[] = {18, 29};  // Bamboo_1 and Wind_East
    for (const Example &example : examples) {
        for (int id : exampleKinds) {
            const QString name = example.prefix + QLatin1Char('_') + kindStem(id) + QStringLiteral("_normal.png");
            totals.add(renderTile(*example.style, id, false, example.size), out.filePath(name), checkTilePicture,
                       example.size);
        }
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the tile sets and pictures of Tilvane."));
    parser.addHelpOption();
    const QCommandLineOption tilesOption(QStringLiteral("tiles"), QStringLiteral("Write the tile sets below DIR."),
                                         QStringLiteral("DIR"));
    const QCommandLineOption resourcesOption(QStringLiteral("resources"),
                                             QStringLiteral("Write the embedded pictures into DIR."),
                                             QStringLiteral("DIR"));
    const QCommandLineOption sheetOption(QStringLiteral("sheet"),
                                         QStringLiteral("Write a contact sheet of all tiles at game sizes to FILE."),
                                         QStringLiteral("FILE"));
    parser.addOptions({tilesOption, resourcesOption, sheetOption});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(tilesOption) && !parser.isSet(resourcesOption) && !parser.isSet(sheetOption)) {
        err << parser.helpText();
        return 2;
    }

    Totals totals;
    if (parser.isSet(tilesOption))
        writeTileSets(parser.value(tilesOption), totals);
    if (parser.isSet(resourcesOption))
        writeResources(parser.value(resourcesOption), totals);
    if (parser.isSet(sheetOption)) {
        const QImage sheet = renderContactSheet();
        totals.add(sheet, parser.value(sheetOption), checkOpaquePicture, sheet.size());
    }

    for (const QString &problem : totals.problems)
        err << "problem: " << problem << '\n';
    QTextStream(stdout) << totals.files << " pictures, " << QString::number(totals.bytes / 1e6, 'f', 1)
                        << " MB\n";
    return totals.problems.isEmpty() ? 0 : 1;
}
