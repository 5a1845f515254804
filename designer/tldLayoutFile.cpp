#include "tldLayoutFile.h"

#include "tlFileSaver.h"

#include <QFileInfo>
#include <QXmlStreamWriter>
#include <algorithm>

namespace {

const int indentation = 4;

struct Bounds
{
    int32_t lx = 0, ux = 0, ly = 0, uy = 0;
};

// The smallest and largest x and y; all 0 for a layout without tiles.
Bounds boundsOf(const QVector<tlTilePosition> &positions)
{
    Bounds b;
    if (positions.isEmpty())
        return b;
    b.lx = b.ux = positions.first().x;
    b.ly = b.uy = positions.first().y;
    for (const tlTilePosition &p : positions) {
        b.lx = std::min(b.lx, p.x);
        b.ux = std::max(b.ux, p.x);
        b.ly = std::min(b.ly, p.y);
        b.uy = std::max(b.uy, p.y);
    }
    return b;
}

int32_t highestLayer(const QVector<tlTilePosition> &positions)
{
    int32_t highest = 0;
    for (const tlTilePosition &p : positions)
        highest = std::max(highest, p.layer);
    return highest;
}

}

tldLayoutFile::Reading tldLayoutFile::read(const QString &fileName)
{
    Reading reading;
    const QFileInfo info(fileName);
    // Only plain files of a layout's size: a pipe or a device could keep the reader
    // waiting, a huge file could take the memory.
    if (!info.exists()) {
        reading.problem = tr("The file '%1' does not exist.").arg(fileName);
    } else if (!info.isFile()) {
        reading.problem = tr("'%1' is not a file.").arg(fileName);
    } else if (info.size() > tlLayoutHandler::maxFileBytes) {
        reading.problem = tr("The file '%1' is too large to be a layout (%2 bytes; layouts have at "
                             "most %3).")
                              .arg(fileName)
                              .arg(info.size())
                              .arg(tlLayoutHandler::maxFileBytes);
    } else if (!info.isReadable()) {
        reading.problem = tr("The file '%1' cannot be read.").arg(fileName);
    }
    if (!reading.problem.isEmpty())
        return reading;

    tlLayoutHandler handler;
    if (!handler.open(fileName)) {
        reading.problem = tr("The file '%1' is not a layout Tilvane can read, or it is damaged.")
                              .arg(fileName);
        return reading;
    }
    reading.ok = true;
    reading.layout = {handler.name(), handler.designer(), handler.positions(), handler.verified()};
    // The designer's grid starts at 0; a layout from elsewhere may reach to the left of or
    // above it, and is moved onto it as a whole.
    const Bounds bounds = boundsOf(reading.layout.positions);
    const int32_t shiftX = std::max(0, -bounds.lx);
    const int32_t shiftY = std::max(0, -bounds.ly);
    if (shiftX > 0 || shiftY > 0) {
        for (tlTilePosition &p : reading.layout.positions) {
            p.x += shiftX;
            p.y += shiftY;
        }
        reading.note = tr("The layout reached beyond the grid's left or upper edge and was moved "
                          "%1 half tiles to the right and %2 down.").arg(shiftX).arg(shiftY);
    }
    return reading;
}

QByteArray tldLayoutFile::content(const tldLayoutData &layout)
{
    const Bounds bounds = boundsOf(layout.positions);
    QByteArray text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(indentation);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("layout"));
    xml.writeAttribute(QStringLiteral("tiles"), QString::number(layout.positions.size()));
    xml.writeAttribute(QStringLiteral("layers"), QString::number(highestLayer(layout.positions)));
    xml.writeAttribute(QStringLiteral("name"), layout.name);
    xml.writeAttribute(QStringLiteral("lx"), QString::number(bounds.lx));
    xml.writeAttribute(QStringLiteral("ux"), QString::number(bounds.ux));
    xml.writeAttribute(QStringLiteral("ly"), QString::number(bounds.ly));
    xml.writeAttribute(QStringLiteral("uy"), QString::number(bounds.uy));
    xml.writeAttribute(QStringLiteral("verified"), QString::number(layout.verified ? 1 : 0));
    xml.writeAttribute(QStringLiteral("cs"),
                       QString::number(tlLayoutHandler::checksumOf(layout.positions)));
    xml.writeEmptyElement(QStringLiteral("designer"));
    xml.writeAttribute(QStringLiteral("name"), layout.designer);
    for (const tlTilePosition &p : layout.positions) {
        xml.writeEmptyElement(QStringLiteral("tile"));
        xml.writeAttribute(QStringLiteral("layer"), QString::number(p.layer));
        xml.writeAttribute(QStringLiteral("x"), QString::number(p.x));
        xml.writeAttribute(QStringLiteral("y"), QString::number(p.y));
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return text;
}

bool tldLayoutFile::write(const QString &fileName, const tldLayoutData &layout, QString *problem)
{
    QString reason;
    if (tl::saveFile(fileName, content(layout), &reason))
        return true;
    *problem = tr("Could not save the layout as '%1': %2. Any earlier file of that name is left as it was.")
                   .arg(fileName, reason);
    return false;
}
