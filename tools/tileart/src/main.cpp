// Draws every picture the game ships: the tile sets, the title pictures, the
// custom-layout preview, the tile examples shown when choosing a set and the desktop icons.

#include "icons.h"
#include "kinds.h"
#include "output.h"
#include "scenes.h"
#include "style.h"
#include "tile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <vector>

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

// The tile sets, or only the given kinds of them; each picture is compared with the one
// below `referenceDir` when that is given.
void writeTileSets(const QString &dir, const std::vector<int> &kinds, const QString &referenceDir, Totals &totals)
{
    for (const Style *style : allStyles()) {
        for (int id : kinds) {
            for (bool highlighted : {false, true}) {
                const QString name = QStringLiteral("%1/%2_%3.png")
                                         .arg(style->name, kindStem(id),
                                              highlighted ? QStringLiteral("highlighted") : QStringLiteral("normal"));
                const QString path = QDir(dir).filePath(name);
                totals.add(renderTile(*style, id, highlighted, kTileSize), path, checkTilePicture, kTileSize);
                if (!referenceDir.isEmpty())
                    totals.problems << compareWithReference(path, QDir(referenceDir).filePath(name));
            }
        }
    }
}

// The kinds named by their file stems, all of them for none; false for an unknown stem.
bool selectKinds(const QString &stems, std::vector<int> &kinds, QTextStream &err)
{
    kinds.clear();
    for (const QString &stem : stems.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int id = kindFromStem(stem.trimmed());
        if (id < 0) {
            err << "no tile kind has the stem '" << stem << "'\n";
            return false;
        }
        kinds.push_back(id);
    }
    if (kinds.empty()) {
        for (int id = 0; id < kKindCount; ++id)
            kinds.push_back(id);
    }
    return true;
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

// The desktop icons as an icon theme lays them out, below DIR/hicolor.
void writeIcons(const QString &dir, Totals &totals)
{
    const QDir theme(QDir(dir).filePath(QStringLiteral("hicolor")));
    for (const AppIcon &icon : appIcons()) {
        for (int side : iconSizes()) {
            const QString path = theme.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(side).arg(icon.id));
            totals.add(renderIcon(icon, side), path, checkIconPicture, QSize(side, side));
        }
        const QString svg = theme.filePath(QStringLiteral("scalable/apps/%1.svg").arg(icon.id));
        if (writeSvgIcon(icon, svg, totals.problems)) {
            totals.bytes += QFileInfo(svg).size();
            ++totals.files;
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
    const QCommandLineOption iconsOption(QStringLiteral("icons"),
                                         QStringLiteral("Write the desktop icons below DIR/hicolor."),
                                         QStringLiteral("DIR"));
    const QCommandLineOption kindsOption(QStringLiteral("kinds"),
                                         QStringLiteral("Draw only these kinds of the tile sets (Char_1,Wind_East)."),
                                         QStringLiteral("STEMS"));
    const QCommandLineOption compareOption(QStringLiteral("compare"),
                                           QStringLiteral("Compare the tile sets drawn with those below DIR."),
                                           QStringLiteral("DIR"));
    parser.addOptions({tilesOption, resourcesOption, sheetOption, iconsOption, kindsOption, compareOption});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(tilesOption) && !parser.isSet(resourcesOption) && !parser.isSet(sheetOption)
        && !parser.isSet(iconsOption)) {
        err << parser.helpText();
        return 2;
    }

    std::vector<int> kinds;
    if (!selectKinds(parser.value(kindsOption), kinds, err))
        return 2;

    Totals totals;
    if (parser.isSet(tilesOption))
        writeTileSets(parser.value(tilesOption), kinds, parser.value(compareOption), totals);
    if (parser.isSet(resourcesOption))
        writeResources(parser.value(resourcesOption), totals);
    if (parser.isSet(iconsOption))
        writeIcons(parser.value(iconsOption), totals);
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
