#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlgSplash.h"

#include <QApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <memory>

namespace {

const QSize sourceSize(640, 480);
const int height = 120;

// An opaque picture like the splash, with detail that smooth scaling blends.
QImage sourcePicture(const QColor &corner)
{
    QImage image(sourceSize, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, sourceSize.width(), sourceSize.height());
    gradient.setColorAt(0, corner);
    gradient.setColorAt(1, Qt::darkBlue);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 3));
    for (int x = 0; x < sourceSize.width(); x += 7)
        painter.drawLine(x, 0, sourceSize.width() - x, sourceSize.height());
    return image;
}

QImage scaledDirectly(const QString &source, int toHeight)
{
    return QImage(source).scaledToHeight(toHeight, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

// The key the cache wrote into its copy.
QString keyOf(const QString &cacheFile)
{
    QImageReader reader(cacheFile);
    const QStringList keys = reader.textKeys();
    return keys.isEmpty() ? QString() : reader.text(keys.first());
}

enum Change { OtherHeight, OtherPicture, DamagedCopy };

}

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copyIsKeptAndUsed();
    void copyIsMadeAnew_data();
    void copyIsMadeAnew();
    void unwritableCacheStillGivesThePicture();

private:
    QString source() const { return folder->filePath(QStringLiteral("source.png")); }
    QString cacheFile() const { return folder->filePath(QStringLiteral("cache/splash.png")); }

    std::unique_ptr<QTemporaryDir> folder;
};

void SplashTest::init()
{
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(sourcePicture(Qt::yellow).save(source()));
}

void SplashTest::copyIsKeptAndUsed()
{
    const tlgScaledPictureCache cache(source(), cacheFile());
    const QImage first = cache.scaledToHeight(height);
    QCOMPARE(first.convertToFormat(QImage::Format_RGB32), scaledDirectly(source(), height));
    QVERIFY(QFileInfo::exists(cacheFile()));

    // A copy under the right key is taken as it is, without scaling again.
    QImage marked = first.convertToFormat(QImage::Format_RGB32);
    marked.setPixel(0, 0, qRgb(1, 2, 3));
    const QString key = keyOf(cacheFile());
    QImageWriter writer(cacheFile());
    writer.setText(QImageReader(cacheFile()).textKeys().first(), key);
    QVERIFY(writer.write(marked));
    QCOMPARE(cache.scaledToHeight(height).convertToFormat(QImage::Format_RGB32), marked);
}

void SplashTest::copyIsMadeAnew_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("other screen") << int(OtherHeight) << QString();
    QTest::newRow("other picture") << int(OtherPicture) << QString();
    QTest::newRow("damaged copy") << int(DamagedCopy)
                                  << QStringLiteral("is no readable picture; it is made anew.");
}

void SplashTest::copyIsMadeAnew()
{
    QFETCH(int, change);
    QFETCH(QString, message);
    const tlgScaledPictureCache cache(source(), cacheFile());
    QVERIFY(!cache.scaledToHeight(height).isNull());
    const QString oldKey = keyOf(cacheFile());

    int wanted = height;
    if (change == OtherHeight) {
        wanted = 2 * height;
    } else if (change == OtherPicture) {
        QVERIFY(sourcePicture(Qt::red).save(source()));
    } else {
        QFile damaged(cacheFile());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a picture");
    }
    tlStdoutCapture output;
    QCOMPARE(cache.scaledToHeight(wanted).convertToFormat(QImage::Format_RGB32), scaledDirectly(source(), wanted));
    const QString said = output.text();
    QCOMPARE(said.isEmpty(), message.isEmpty());
    QVERIFY2(said.contains(message), qPrintable(said));
    // The new copy replaces the old one.
    QCOMPARE(QImageReader(cacheFile()).size().height(), wanted);
    if (change != DamagedCopy)
        QVERIFY(keyOf(cacheFile()) != oldKey);
}

void SplashTest::unwritableCacheStillGivesThePicture()
{
    // The cache folder cannot be made where a file stands.
    QFile blocker(folder->filePath(QStringLiteral("cache")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    tlStdoutCapture output;
    QCOMPARE(tlgScaledPictureCache(source(), cacheFile()).scaledToHeight(height).convertToFormat(QImage::Format_RGB32),
             scaledDirectly(source(), height));
    QVERIFY(output.text().startsWith(QStringLiteral("tlgScaledPictureCache::scaledToHeight(): cannot keep")));
}

TILVANE_TEST_MAIN(SplashTest, QApplication)
#include "tst_splash.moc"
