#include "tlAboutDialog.h"
#include "tlTestEnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

const int logicalHeight = 300;
const int versionTop = 7;

QPixmap aboutPicture()
{
    return QPixmap(QStringLiteral(":/images/tlgAbout.png"));
}

qreal screenRatio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

// How many pixels of the rows from `top` to `bottom` (logical) differ between the images.
int differingPixels(const QImage &a, const QImage &b, int top, int bottom)
{
    int count = 0;
    for (int y = int(top * screenRatio()); y < int(bottom * screenRatio()); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

}

// The about box, run once on a plain screen and once at twice the pixel density.
class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { dialog.reset(new tlAboutDialog(aboutPicture())); }
    void pictureWithTexts();
    void licenseToggles();
    void nextOpeningShowsPicture_data();
    void nextOpeningShowsPicture();
    void cannotBeResized();

private:
    QLabel *label() const { return dialog->findChild<QLabel *>(); }
    QPixmap shownPicture() const { return label()->pixmap(Qt::ReturnByValue); }
    QPushButton *button(const char *caption) const
    {
        for (QPushButton *candidate : dialog->findChildren<QPushButton *>()) {
            if (candidate->text() == QLatin1String(caption))
                return candidate;
        }
        return nullptr;
    }

    QScopedPointer<tlAboutDialog> dialog;
};

void AboutTest::pictureWithTexts()
{
    const QPixmap picture = shownPicture();
    QCOMPARE(picture.devicePixelRatio(), screenRatio());
    QCOMPARE(picture.height(), int(logicalHeight * screenRatio()));
    QCOMPARE(label()->size(), QSize(int(picture.width() / screenRatio()), logicalHeight));

    // The version at the top, the copyright at the bottom, the picture untouched between.
    const QImage painted = picture.toImage().convertToFormat(QImage::Format_RGB32);
    const QImage plain = aboutPicture()
                             .scaledToHeight(picture.height(), Qt::SmoothTransformation)
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    const int lineHeight = QFontMetrics(dialog->font()).height();
    const int copyrightTop = int(logicalHeight - 1.5 * lineHeight);
    QVERIFY(differingPixels(painted, plain, versionTop, versionTop + lineHeight) > lineHeight);
    QVERIFY(differingPixels(painted, plain, copyrightTop, logicalHeight) > lineHeight);
    QCOMPARE(differingPixels(painted, plain, versionTop + lineHeight, copyrightTop), 0);
}

void AboutTest::licenseToggles()
{
    button("&License")->click();
    QVERIFY(shownPicture().isNull());
    const QString notice = label()->text();
    for (const char *part : {"Copyright", "GNU General Public License", "either version 2",
                             "any later version", "WITHOUT ANY WARRANTY", "Free Software"})
        QVERIFY2(notice.contains(QLatin1String(part)), part);
    // The notice takes the picture's place whole, whatever the desktop's font.
    const QSize needed = QFontMetrics(label()->font()).size(0, notice);
    QVERIFY(needed.width() + label()->indent() <= label()->width());
    QVERIFY(needed.height() <= label()->height());

    button("Tit&le && Version")->click();
    QVERIFY(!shownPicture().isNull());
    QVERIFY(button("&License"));
}

void AboutTest::nextOpeningShowsPicture_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Ok button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("window closed") << 2;
}

void AboutTest::nextOpeningShowsPicture()
{
    QFETCH(int, way);
    dialog->show();
    button("&License")->click();
    switch (way) {
    case 0: button("&Ok")->click(); break;
    case 1: QTest::keyClick(dialog.data(), Qt::Key_Escape); break;
    default: dialog->close();
    }
    QVERIFY(dialog->isHidden());
    dialog->show();
    QVERIFY(!shownPicture().isNull());
    QVERIFY(button("&License"));
}

void AboutTest::cannotBeResized()
{
    dialog->show();
    const QSize size = dialog->size();
    QCOMPARE(dialog->minimumSize(), size);
    QCOMPARE(dialog->maximumSize(), size);
    // The picture spans the whole width, with no blank strip beside it.
    QCOMPARE(size.width(), label()->width());
    dialog->resize(size * 2);
    QCOMPARE(dialog->size(), size);
}

TILVANE_TEST_MAIN(AboutTest, QApplication)
#include "tst_about.moc"
