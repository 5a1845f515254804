#include "tlSettings.h"
#include "tlTestEnvironment.h"
#include "tlTilePictures.h"
#include "tlgTileHandler.h"
#include "tleTileKinds.h"

#include <QGuiApplication>
#include <QImageReader>

namespace {

QSize pictureSize(const QString &path)
{
    return QImageReader(path).size();
}

}

// The pictures built into the program and installed beside it are all there, in the
// sizes the windows that show them are laid out for.
class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void embeddedPictures_data();
    void embeddedPictures();
    void layoutPreviews();
    void tilePictures_data();
    void tilePictures();
};

void ResourcesTest::embeddedPictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QSize title(3329, 2229);
    const QSize example(1242, 1519);
    QTest::newRow("splash") << QStringLiteral("tlgSplash.png") << title;
    QTest::newRow("about") << QStringLiteral("tlgAbout.png") << title;
    QTest::newRow("user layout") << QStringLiteral("UserLayout_Preview.png") << QSize(1052, 719);
    for (const char *style : {"Classic", "Modern"}) {
        for (const char *tile : {"Bamboo_1", "Wind_East"}) {
            const QString name = QStringLiteral("%1_%2_normal.png").arg(QLatin1String(style), QLatin1String(tile));
            QTest::newRow(qPrintable(name)) << name << example;
        }
    }
    QTest::newRow("Picasso bamboo") << QStringLiteral("Picasso_Bamboo_1_normal.png") << QSize(1243, 1520);
    QTest::newRow("Picasso east") << QStringLiteral("Picasso_Wind_East_normal.png") << QSize(1243, 1520);
}

void ResourcesTest::embeddedPictures()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QCOMPARE(pictureSize(QStringLiteral(":/images/") + name), size);
}

void ResourcesTest::layoutPreviews()
{
    for (const QString &layout : tlSettings::builtInLayouts()) {
        const QSize size = pictureSize(QStringLiteral(":/images/%1_Preview.png").arg(layout));
        QVERIFY2(size.width() >= 617 && size.width() <= 1058 && size.height() >= 607
                     && size.height() <= 720,
                 qPrintable(layout));
    }
}

void ResourcesTest::tilePictures_data()
{
    QTest::addColumn<QString>("folder");
    for (tlTileStyle style : tl::tileStyles) {
        const char *name = tl::tileStyleName(style);
        QTest::newRow(name) << QStringLiteral(TILVANE_DATA_DIR "/tiles/") + QLatin1String(name);
    }
}

void ResourcesTest::tilePictures()
{
    QFETCH(QString, folder);
    for (const char *stem : tlgTileHandler::tileFileStems) {
        for (const char *state : {"_normal.png", "_highlighted.png"}) {
            const QString path = folder + QLatin1Char('/') + QLatin1String(stem) + QLatin1String(state);
            const QImage picture(path);
            QVERIFY2(!picture.isNull(), qPrintable(path));
            QCOMPARE(picture.size(), QSize(621, 760));
            QVERIFY2(picture.hasAlphaChannel(), qPrintable(path));
        }
    }
}

TILVANE_TEST_MAIN(ResourcesTest, QGuiApplication)
#include "tst_resources.moc"
