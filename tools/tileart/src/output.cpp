#include "output.h"

#include "tile.h"

#include <QDir>
#include <QFileInfo>
#include <QtMath>

namespace tileart {

namespace {

constexpr int kMaxCompressionQuality = 0;  // Qt maps PNG quality 0 to zlib level 9
constexpr int kTransparent = 8;            // alpha at or below counts as see-through
constexpr int kOpaque = 250;
// The run-time text zones of the title pictures, in the 3329 x 2229 design.
constexpr qreal kTitleDesignWidth = 3329;
constexpr qreal kTitleDesignHeight = 2229;
constexpr QRectF kVersionZone(0, 0, 1500, 250);
constexpr QRectF kCreditZone(0, 2229 - 250, 1500, 250);
constexpr qreal kMinZoneLightness = 200;  // black text must stay readable
constexpr qreal kMaxZoneSpread = 14;      // standard deviation of lightness: no busy detail
constexpr int kChannelTolerance = 3;       // steps a colour channel may differ from the reference
constexpr qreal kStrayShare = 0.001;       // share of pixels that may differ by more

QString sizeProblem(const QImage &image, QSize expected)
{
    if (image.size() == expected)
        return {};
    return QStringLiteral("size %1x%2, expected %3x%4")
        .arg(image.width()).arg(image.height()).arg(expected.width()).arg(expected.height());
}

QString describe(const char *what, QPoint at, int alpha)
{
    return QStringLiteral("%1 at (%2,%3) has alpha %4").arg(QLatin1String(what)).arg(at.x()).arg(at.y()).arg(alpha);
}

struct Lightness {
    qreal mean;
    qreal spread;
};

Lightness measureLightness(const QImage &image, const QRect &zone)
{
    qreal sum = 0, sumSq = 0;
    int n = 0;
    for (int y = zone.top(); y <= zone.bottom(); y += 2) {
        for (int x = zone.left(); x <= zone.right(); x += 2) {
            const qreal l = qGray(image.pixel(x, y));
            sum += l;
            sumSq += l * l;
            ++n;
        }
    }
    const qreal mean = sum / n;
    return {mean, qSqrt(qMax<qreal>(0, sumSq / n - mean * mean))};
}

QRect scaledZone(const QRectF &designZone, QSize size)
{
    const qreal sx = size.width() / kTitleDesignWidth;
    const qreal sy = size.height() / kTitleDesignHeight;
    return QRectF(designZone.left() * sx, designZone.top() * sy, designZone.width() * sx, designZone.height() * sy)
        .toAlignedRect()
        .intersected(QRect(QPoint(0, 0), size));
}

}  // namespace

QStringList checkTilePicture(const QImage &image, QSize expected)
{
    const QString size = sizeProblem(image, expected);
    if (!size.isEmpty())
        return {size};
    QStringList problems;
    if (!image.hasAlphaChannel())
        problems << QStringLiteral("no alpha channel");
    const int w = image.width(), h = image.height();
    const int side = sideStrip(w), bottom = bottomStrip(h);
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
        const int a = qAlpha(image.pixel(corner));
        if (a > kTransparent)
            problems << describe("outer corner", corner, a);
    }
    const QPoint solid[] = {{(w - side) / 2, (h - bottom) / 2}, {w - side / 2, h / 2}, {w / 2, h - bottom / 2}};
    for (const QPoint p : solid) {
        const int a = qAlpha(image.pixel(p));
        if (a < kOpaque)
            problems << describe("face or thickness strip", p, a);
    }
    return problems;
}

QStringList checkOpaquePicture(const QImage &image, QSize expected)
{
    const QString size = sizeProblem(image, expected);
    if (!size.isEmpty())
        return {size};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); y += 7) {
        for (int x = 0; x < argb.width(); x += 7) {
            if (qAlpha(argb.pixel(x, y)) < kOpaque)
                return {describe("picture", QPoint(x, y), qAlpha(argb.pixel(x, y)))};
        }
    }
    return {};
}

QStringList checkTitlePicture(const QImage &image, QSize expected)
{
    QStringList problems = checkOpaquePicture(image, expected);
    if (!problems.isEmpty())
        return problems;
    for (const QRectF &zone : {kVersionZone, kCreditZone}) {
        const Lightness l = measureLightness(image, scaledZone(zone, image.size()));
        if (l.mean < kMinZoneLightness || l.spread > kMaxZoneSpread) {
            problems << QStringLiteral("text zone at y=%1 too dark or busy (mean %2, spread %3)")
                            .arg(zone.top()).arg(l.mean, 0, 'f', 1).arg(l.spread, 0, 'f', 1);
        }
    }
    return problems;
}

QStringList compareWithReference(const QString &made, const QString &reference)
{
    const QImage ours = QImage(made).convertToFormat(QImage::Format_ARGB32);
    const QImage theirs = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    if (theirs.isNull())
        return {reference + QStringLiteral(": cannot read it to compare")};
    if (ours.size() != theirs.size())
        return {made + QStringLiteral(": ") + sizeProblem(ours, theirs.size()) + QStringLiteral(" as in ") + reference};
    const auto far = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) > kChannelTolerance || qAbs(qGreen(a) - qGreen(b)) > kChannelTolerance
            || qAbs(qBlue(a) - qBlue(b)) > kChannelTolerance || qAbs(qAlpha(a) - qAlpha(b)) > kChannelTolerance;
    };
    qint64 differing = 0;
    for (int y = 0; y < ours.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(ours.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(theirs.constScanLine(y));
        for (int x = 0; x < ours.width(); ++x)
            differing += far(a[x], b[x]) ? 1 : 0;
    }
    if (differing <= kStrayShare * ours.width() * ours.height())
        return {};
    return {QStringLiteral("%1: %2 pixels differ from %3").arg(made).arg(differing).arg(reference)};
}

qint64 writeChecked(const QImage &image, const QString &path, QStringList (*check)(const QImage &, QSize),
                    QSize expected, QStringList &problems)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG", kMaxCompressionQuality)) {
        problems << path + QStringLiteral(": cannot write");
        return 0;
    }
    const QImage reread(path);
    for (const QString &problem : check(reread, expected))
        problems << path + QStringLiteral(": ") + problem;
    return QFileInfo(path).size();
}

}  // namespace tileart
