#include "tlLayoutHandler.h"

#include "tlDiagnostics.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <set>
#include <tuple>

namespace {

int32_t intAttribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toInt();
}

// Checks what the board would otherwise index blindly, so that a bad file is refused
// before any board is built from it.
class LayoutChecks
{
public:
    QString boundsError(int32_t lx, int32_t ux, int32_t ly, int32_t uy) const
    {
        const qint64 width = qint64(ux) - lx;
        const qint64 height = qint64(uy) - ly;
        if (width < 0 || height < 0 || width > tlLayoutHandler::maxSpan
            || height > tlLayoutHandler::maxSpan) {
            return QStringLiteral("The layout's bounds (lx %1, ux %2, ly %3, uy %4) are out of range.")
                .arg(lx).arg(ux).arg(ly).arg(uy);
        }
        return QString();
    }

    QString tileError(const tlTilePosition &p, int32_t lx, int32_t ux, int32_t ly, int32_t uy)
    {
        if (p.layer < 1 || p.layer > tlLayoutHandler::maxLayers)
            return QStringLiteral("Tile layer %1 is out of range.").arg(p.layer);
        if (p.x < lx || p.x > ux || p.y < ly || p.y > uy) {
            return QStringLiteral("Tile at x %1, y %2 lies outside the layout's bounds.")
                .arg(p.x).arg(p.y);
        }
        if (!taken.insert(std::make_tuple(p.layer, p.x, p.y)).second) {
            return QStringLiteral("Two tiles share layer %1, x %2, y %3.")
                .arg(p.layer).arg(p.x).arg(p.y);
        }
        return QString();
    }

private:
    std::set<std::tuple<int32_t, int32_t, int32_t>> taken;
};

}

void tlLayoutHandler::reset()
{
    lowX = highX = lowY = highY = 0;
    isVerified = false;
    designerName.clear();
    tilePositions.clear();
}

bool tlLayoutHandler::open(const QString &fileName)
{
    reset();
    int expectedCount = 0;
    bool layoutSeen = false;

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        tl::diagnose("tlLayoutHandler::open",
                     {QStringLiteral("Could not open file '%1'. No layout loaded.").arg(fileName)});
        return false;
    }

    QXmlStreamReader xml(&file);
    LayoutChecks checks;
    if (file.size() > maxFileBytes)
        xml.raiseError(QStringLiteral("The file is too large for a layout."));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringRef element = xml.name();
        if (element == QLatin1String("tile") && layoutSeen) {
            const tlTilePosition position{intAttribute(attributes, "layer"),
                                          intAttribute(attributes, "x"),
                                          intAttribute(attributes, "y")};
            QString error = tilePositions.size() >= maxTiles
                ? QStringLiteral("More than %1 tiles.").arg(maxTiles)
                : checks.tileError(position, lowX, highX, lowY, highY);
            if (!error.isEmpty())
                xml.raiseError(error);
            else
                tilePositions.append(position);
        } else if (element == QLatin1String("layout")) {
            if (layoutSeen) {
                xml.raiseError(QStringLiteral("More than one layout element."));
                continue;
            }
            expectedCount = intAttribute(attributes, "tiles");
            layoutName = attributes.value(QLatin1String("name")).toString();
            lowX = intAttribute(attributes, "lx");
            highX = intAttribute(attributes, "ux");
            lowY = intAttribute(attributes, "ly");
            highY = intAttribute(attributes, "uy");
            isVerified = intAttribute(attributes, "verified") != 0;
            layoutSeen = true;
            const QString error = checks.boundsError(lowX, highX, lowY, highY);
            if (!error.isEmpty())
                xml.raiseError(error);
        } else if (element == QLatin1String("designer") && layoutSeen) {
            designerName = attributes.value(QLatin1String("name")).toString();
        }
    }
    file.close();

    if (tilePositions.size() != expectedCount || xml.hasError() || !layoutSeen) {
        tl::diagnoseDamagedFile("tlLayoutHandler::open", fileName, QStringLiteral("Layout"), xml);
        return false;
    }
    return true;
}

bool tlLayoutHandler::openExisting(const QString &fileName)
{
    return QFile::exists(fileName) && open(fileName);
}

int32_t tlLayoutHandler::maxLayer() const
{
    int32_t highest = 0;
    for (const tlTilePosition &p : tilePositions)
        highest = std::max(highest, p.layer);
    return highest;
}

uint32_t tlLayoutHandler::checksum() const
{
    return checksumOf(tilePositions);
}

uint32_t tlLayoutHandler::checksumOf(const QVector<tlTilePosition> &positions)
{
    // Unsigned arithmetic wraps modulo 2^32 as the layout designer's sum does.
    uint32_t sum = 0;
    for (const tlTilePosition &p : positions) {
        sum += uint32_t(p.layer) * uint32_t(p.layer) + uint32_t(p.x) * uint32_t(p.x)
            + uint32_t(p.y) * uint32_t(p.y);
    }
    return sum;
}
