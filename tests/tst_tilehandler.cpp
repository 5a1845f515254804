#include "tlDataDirectory.h"
#include "tlSettings.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTilePictures.h"
#include "tleTileKinds.h"
#include "tlgTileHandler.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QScreen>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The variable the data search is to consult before every other place (see the note
// on DataRedirect). Until it does, a data folder in the temporary home stands in, which
// the search reaches only while no earlier place holds the data.
const char *const dataOverrideVariable = "TILVANE_DATA_DIR";

const QStringList styleFolders = {QStringLiteral("classic"), QStringLiteral("modern"),
                                  QStringLiteral("picasso")};

// Generated pictures: a tenth of the real ones' size, each a single colour that tells
// its style, kind and whether it is the highlighted one.
const QSize generatedSize(62, 76);
const int generatedHeight = 38;  // device pixels asked for
const int generatedRim = 2;
const int kindRedStep = 6;
const int styleGreenStep = 80;
const int styleGreenBase = 20;
const int normalBlue = 60;
const int highlightedBlue = 200;
const int colourTolerance = 2;  // smooth scaling of a flat colour may round a little

const double realAspect = 1 / tl::tilePictureRatio;  // width over height

QColor pictureColour(int styleIndex, int id, bool highlighted)
{
    return QColor(id * kindRedStep, styleIndex * styleGreenStep + styleGreenBase,
                  highlighted ? highlightedBlue : normalBlue);
}

bool closeColours(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= colourTolerance && qAbs(a.green() - b.green()) <= colourTolerance
        && qAbs(a.blue() - b.blue()) <= colourTolerance;
}

QColor centreColour(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QString fileName(int id, bool highlighted)
{
    return QString::fromLatin1(tlgTileHandler::tileFileStems[id])
        + (highlighted ? QStringLiteral("_highlighted.png") : QStringLiteral("_normal.png"));
}

// Writes one style's 84 pictures into `tilesDir`/<style folder>, leaving out the files
// named in `skip` and saving those in `rename` under another name.
bool writeStyle(const QString &tilesDir, int styleIndex, const QStringList &skip = {},
                const QMap<QString, QString> &rename = {})
{
    const QDir dir(tilesDir + QLatin1Char('/') + styleFolders.at(styleIndex));
    if (!QDir().mkpath(dir.path()))
        return false;
    for (int id = 0; id < tle::kindCount; ++id) {
        for (bool highlighted : {false, true}) {
            const QString name = fileName(id, highlighted);
            if (skip.contains(name))
                continue;
            // Clear at the rim like the real pictures' rounded corners.
            QImage image(generatedSize, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter(&image).fillRect(image.rect().adjusted(generatedRim, generatedRim,
                                                            -generatedRim, -generatedRim),
                                      pictureColour(styleIndex, id, highlighted));
            if (!image.save(dir.filePath(rename.value(name, name)), "PNG"))
                return false;
        }
    }
    return true;
}

// The first half of a good picture: a PNG that begins well and breaks off.
QByteArray cutOffPicture()
{
    QImage image(generatedSize, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data().left(int(buffer.data().size() / 2));
}

// Points the data search at `root` for the life of the object: through the override
// variable where the search honours it, else through the home folder's data folder.
// Whether it worked is for the caller to ask; a search that finds another data folder
// first cannot be redirected without the override.
class DataRedirect
{
public:
    explicit DataRedirect(const QString &dataRoot)
        : root(dataRoot)
        , homeData(QDir::homePath() + QStringLiteral("/Tilvane"))
    {
        qputenv(dataOverrideVariable, QFile::encodeName(root));
        if (!reaches() && !QFileInfo::exists(homeData))
            linked = QFile::link(root, homeData);
    }

    ~DataRedirect()
    {
        qunsetenv(dataOverrideVariable);
        if (linked)
            QFile::remove(homeData);
    }

    DataRedirect(const DataRedirect &) = delete;
    DataRedirect &operator=(const DataRedirect &) = delete;

    // Whether the search now finds the root's tiles folder, or finds none when the
    // root has none; `why` tells what it found instead.
    bool reaches(QString *why = nullptr) const
    {
        const QString wanted = QDir(root + QStringLiteral("/tiles")).canonicalPath();
        QString found;
        for (const QString &candidate : dataDirectoryCandidates(QStringLiteral("tiles"))) {
            if (QDir(candidate).exists()) {
                found = candidate;
                break;
            }
        }
        const bool ok = found.isEmpty() ? wanted.isEmpty() : QDir(found).canonicalPath() == wanted;
        if (!ok && why)
            *why = QStringLiteral("the data search finds %1 first; it needs %2 honoured to "
                                  "look at a test folder")
                       .arg(found, QLatin1String(dataOverrideVariable));
        return ok;
    }

private:
    QString root;
    QString homeData;
    bool linked = false;
};

}

class TileHandlerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void styleDirectories();
    void generatedPicturesByStyleAndKind();
    void realPicturesAtScreenRatio();
    void brokenFolderStopsTheGame_data();
    void brokenFolderStopsTheGame();

private:
    static void checkSizes(const tlgTileHandler &handler, int deviceHeight, double aspect);

    QTemporaryDir generated;
    qreal ratio = 1;
};

void TileHandlerTest::initTestCase()
{
    tlSettings::instance().readSettings();

    ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    // The second run of these tests asks for a denser screen this way.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());

    const QString tiles = generated.filePath(QStringLiteral("tiles"));
    for (int styleIndex = 0; styleIndex < styleFolders.size(); ++styleIndex)
        QVERIFY(writeStyle(tiles, styleIndex));
    // Files the handler has no use for do no harm.
    QFile stray(tiles + QStringLiteral("/classic/Char_1_normal.png.orig"));
    QVERIFY(stray.open(QIODevice::WriteOnly));
}

void TileHandlerTest::styleDirectories()
{
    // The numbers the store and the command lines give, and the folders they name.
    const std::vector<std::pair<int, QString>> numbers = {
        {0, QStringLiteral("/classic/")}, {1, QStringLiteral("/modern/")},
        {2, QStringLiteral("/picasso/")}, {3, QString()}, {7, QString()}, {-1, QString()}};
    for (const auto &[number, folder] : numbers) {
        const std::optional<tlTileStyle> style = tl::tileStyleFromNumber(number);
        QCOMPARE(style.has_value(), !folder.isEmpty());
        if (style) {
            QCOMPARE(tlgTileHandler::styleDirectory(*style), folder);
            QCOMPARE(tl::tileStyleNumber(*style), number);
        }
    }
}

void TileHandlerTest::checkSizes(const tlgTileHandler &handler, int deviceHeight, double aspect)
{
    const int thumbnailHeight = int(tlSettings::instance().thumbnailHeight * handler.normalPixmap(0).devicePixelRatio());
    for (int id = 0; id < tle::kindCount; ++id) {
        for (const QPixmap &picture : {handler.normalPixmap(id), handler.highlightedPixmap(id)}) {
            QCOMPARE(picture.height(), deviceHeight);
            QVERIFY(qAbs(picture.width() - deviceHeight * aspect) <= 1);
            QCOMPARE(picture.devicePixelRatio(), QGuiApplication::primaryScreen()->devicePixelRatio());
            QCOMPARE(picture.hasAlphaChannel(), true);
        }
        const QPixmap thumbnail = handler.thumbnailPixmap(id);
        QCOMPARE(thumbnail.height(), thumbnailHeight);
        QCOMPARE(thumbnail.devicePixelRatio(), handler.normalPixmap(id).devicePixelRatio());
    }
    QCOMPARE(handler.loadedHeight(), uint32_t(deviceHeight));
}

void TileHandlerTest::generatedPicturesByStyleAndKind()
{
    DataRedirect redirect(generated.path());
    QString why;
    if (!redirect.reaches(&why))
        QSKIP(qPrintable(why));

    // Each style and the folder it is to read.
    const std::vector<std::pair<tlTileStyle, int>> styles = {
        {tlTileStyle::Classic, 0}, {tlTileStyle::Modern, 1}, {tlTileStyle::Picasso, 2}};
    for (const auto &[style, folder] : styles) {
        tlgTileHandler handler;
        QVERIFY(handler.load(style, generatedHeight));
        QCOMPARE(handler.loadedStyle(), style);
        checkSizes(handler, generatedHeight, double(generatedSize.width()) / generatedSize.height());
        for (int id = 0; id < tle::kindCount; ++id) {
            const QString where = QStringLiteral("style %1, kind %2").arg(folder).arg(id);
            QVERIFY2(closeColours(centreColour(handler.normalPixmap(id)), pictureColour(folder, id, false)),
                     qPrintable(where));
            QVERIFY2(closeColours(centreColour(handler.highlightedPixmap(id)), pictureColour(folder, id, true)),
                     qPrintable(where));
            QVERIFY2(closeColours(centreColour(handler.thumbnailPixmap(id)), pictureColour(folder, id, false)),
                     qPrintable(where));
        }
    }
}

void TileHandlerTest::realPicturesAtScreenRatio()
{
    if (!QDir(QStringLiteral(TILVANE_DEVELOPER_DATA_DIR "/tiles")).exists())
        QSKIP("no tile pictures in the source tree's data folder");
    QCOMPARE(QDir(findDataDirectory("tiles").path()).canonicalPath(),
             QDir(QStringLiteral(TILVANE_DEVELOPER_DATA_DIR "/tiles")).canonicalPath());

    // As the window asks: the tile height in device pixels of this screen.
    const int deviceHeight = int(tlSettings::instance().defaultTileHeight * ratio);
    QVector<QImage> firstNormals;
    for (tlTileStyle style : tl::tileStyles) {
        tlgTileHandler parallel, serial;
        serial.setMode(tlgTileHandler::Mode::Serial);
        QVERIFY(parallel.load(style, deviceHeight));
        QVERIFY(serial.load(style, deviceHeight));
        checkSizes(parallel, deviceHeight, realAspect);
        QCOMPARE(parallel.normalPixmap(0).height() / parallel.normalPixmap(0).devicePixelRatio(),
                 qreal(tlSettings::instance().defaultTileHeight));
        QCOMPARE(parallel.thumbnailPixmap(0).height(),
                 int(tlSettings::instance().defaultThumbnailHeight * ratio));
        for (int id = 0; id < tle::kindCount; ++id) {
            // Work spread over threads must still land at its own kind.
            QCOMPARE(parallel.normalPixmap(id).toImage(), serial.normalPixmap(id).toImage());
            QCOMPARE(parallel.highlightedPixmap(id).toImage(), serial.highlightedPixmap(id).toImage());
            QCOMPARE(parallel.thumbnailPixmap(id).toImage(), serial.thumbnailPixmap(id).toImage());
            QVERIFY(parallel.normalPixmap(id).toImage() != parallel.highlightedPixmap(id).toImage());
        }
        // However the handler reads and scales, it gives what plain smooth scaling gives.
        const QString first = findDataDirectory("tiles").path() + tlgTileHandler::styleDirectory(style)
            + fileName(0, false);
        QImage plain = QImage(first).scaledToHeight(deviceHeight, Qt::SmoothTransformation);
        plain.setDevicePixelRatio(ratio);
        QCOMPARE(parallel.normalPixmap(0).toImage(), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        firstNormals << parallel.normalPixmap(0).toImage();
    }
    QVERIFY(firstNormals.at(0) != firstNormals.at(1));
    QVERIFY(firstNormals.at(0) != firstNormals.at(2));
    QVERIFY(firstNormals.at(1) != firstNormals.at(2));
}

void TileHandlerTest::brokenFolderStopsTheGame_data()
{
    QTest::addColumn<QStringList>("styles");  // style folders written
    QTest::addColumn<QStringList>("skip");
    QTest::addColumn<QString>("renamed");  // a file saved in lower case
    QTest::addColumn<QStringList>("damaged");  // files overwritten with `content`
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("failingFile");  // to be named in the diagnostic

    const QStringList none;
    const QString noFiles = QStringLiteral("Cannot find resource holding the tile graphics.");
    QTest::newRow("no tiles folder") << none << none << QString() << none << QByteArray() << 0
                                     << QStringLiteral("Cannot find the directory holding the tile sets.")
                                     << QString();
    QTest::newRow("no folder for the style")
        << QStringList{QStringLiteral("classic")} << none << QString() << none << QByteArray() << 1
        << QStringLiteral("Cannot find the subdirectory holding the tile set style requested.")
        << QString();
    QTest::newRow("highlighted picture missing")
        << styleFolders << QStringList{QStringLiteral("Wind_East_highlighted.png")} << QString() << none
        << QByteArray() << 2 << noFiles << QStringLiteral("Wind_East_highlighted.png");
    QTest::newRow("first missing in kind order is named")
        << styleFolders
        << QStringList{QStringLiteral("Flower_2_normal.png"), QStringLiteral("Wheel_3_highlighted.png")}
        << QString() << none << QByteArray() << 0 << noFiles << QStringLiteral("Wheel_3_highlighted.png");
    QTest::newRow("names are case-sensitive")
        << styleFolders << none << QStringLiteral("Dragon_Red_normal.png") << none << QByteArray() << 1
        << noFiles << QStringLiteral("Dragon_Red_normal.png");
    // A picture that is there but cannot be decoded is as good as missing.
    QTest::newRow("text instead of a picture")
        << styleFolders << none << QString() << QStringList{QStringLiteral("Bamboo_5_normal.png")}
        << QByteArray("not a picture") << 0 << noFiles << QStringLiteral("Bamboo_5_normal.png");
    QTest::newRow("empty picture")
        << styleFolders << none << QString() << QStringList{QStringLiteral("Season_Fall_highlighted.png")}
        << QByteArray() << 1 << noFiles << QStringLiteral("Season_Fall_highlighted.png");
    QTest::newRow("first cut-off in kind order is named")
        << styleFolders << none << QString()
        << QStringList{QStringLiteral("Flower_4_normal.png"), QStringLiteral("Char_2_highlighted.png")}
        << cutOffPicture() << 2 << noFiles << QStringLiteral("Char_2_highlighted.png");
}

void TileHandlerTest::brokenFolderStopsTheGame()
{
    QFETCH(QStringList, styles);
    QFETCH(QStringList, skip);
    QFETCH(QString, renamed);
    QFETCH(QStringList, damaged);
    QFETCH(QByteArray, content);
    QFETCH(int, style);
    QFETCH(QString, box);
    QFETCH(QString, failingFile);

    QTemporaryDir root;
    const QString tiles = root.filePath(QStringLiteral("tiles"));
    QMap<QString, QString> rename;
    if (!renamed.isEmpty())
        rename.insert(renamed, renamed.toLower());
    for (const QString &folder : styles) {
        QVERIFY(writeStyle(tiles, styleFolders.indexOf(folder), skip, rename));
        for (const QString &name : damaged) {
            QFile file(tiles + QLatin1Char('/') + folder + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(content), qint64(content.size()));
        }
    }
    DataRedirect redirect(root.path());
    QString why;
    if (!redirect.reaches(&why))
        QSKIP(qPrintable(why));

    tlgTileHandler handler;
    tlStdoutCapture capture;
    QVERIFY(!handler.load(tl::tileStyleFromNumber(style).value(), generatedHeight));
    const QString out = capture.text();
    QVERIFY2(handler.failureMessage().startsWith(box), qPrintable(handler.failureMessage()));

    if (failingFile.isEmpty()) {
        QVERIFY2(!out.contains(QStringLiteral("tlgTileHandler::load()")), qPrintable(out));
        return;
    }
    // The kind's line, then the failing file by its full path on the next line.
    const QString stem = failingFile.section(QLatin1Char('_'), 0, -2);
    const QString failing = QStringLiteral("tlgTileHandler::load(): failed opening files for tile '%1'.\n");
    QVERIFY2(out.contains(failing.arg(stem)), qPrintable(out));
    QCOMPARE(out.count(QStringLiteral("failed opening files")), 1);
    const QString next = out.section(failing.arg(stem), 1).section(QLatin1Char('\n'), 0, 0);
    const QString named = next.section(QLatin1Char('\''), 1, 1);
    QVERIFY2(QDir::isAbsolutePath(named), qPrintable(next));
    const QFileInfo expected(tiles + QLatin1Char('/') + styleFolders.at(style) + QLatin1Char('/') + failingFile);
    QCOMPARE(QFileInfo(named).fileName(), expected.fileName());
    QCOMPARE(QFileInfo(named).dir().canonicalPath(), expected.dir().canonicalPath());
}

TILVANE_TEST_MAIN(TileHandlerTest, QApplication)
#include "tst_tilehandler.moc"
