#include "tleGameEngine.h"

#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"
#include "tlVersion.h"
#include "tleTileKinds.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

uint32_t uintAttribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toUInt();
}

int32_t intAttribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toInt();
}

}

bool tleGameEngine::save(const QString &fileName) const
{
    // The file is replaced only once it has been written in full, so a failed save
    // never leaves a truncated game where a good one was.
    QSaveFile file(fileName);
    if (!boardReady() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        tl::diagnose("tleGameEngine::save", {QStringLiteral("couldn't open file '%1'.").arg(fileName)});
        return false;
    }
    const tlLayoutHandler *layout = gameBoard->layout();
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("game"));
    xml.writeAttribute(QStringLiteral("date"), QDateTime::currentDateTime().toString(Qt::TextDate));
    xml.writeAttribute(QStringLiteral("version"), QString::fromLatin1(tl::version));
    xml.writeEmptyElement(QStringLiteral("layout"));
    xml.writeAttribute(QStringLiteral("name"), layout->name());
    xml.writeAttribute(QStringLiteral("cs"), QString::number(layout->checksum()));
    for (const tleTile &tile : tileRecords) {
        xml.writeEmptyElement(QStringLiteral("tile"));
        xml.writeAttribute(QStringLiteral("layer"), QString::number(tile.layer));
        xml.writeAttribute(QStringLiteral("x"), QString::number(tile.x));
        xml.writeAttribute(QStringLiteral("y"), QString::number(tile.y));
        xml.writeAttribute(QStringLiteral("type"), QString::number(tile.type));
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit()) {
        tl::diagnose("tleGameEngine::save", {QStringLiteral("couldn't write file '%1'.").arg(fileName)});
        return false;
    }
    return true;
}

bool tleGameEngine::open(const QString &gameFile, const QString &layoutFile)
{
    if (!init(layoutFile)) {
        tl::diagnose("tleGameEngine::open",
                     {QStringLiteral("failed to open layout file '%1'.").arg(layoutFile)});
        return false;
    }
    QFile file(gameFile);
    if (!file.open(QIODevice::ReadOnly)) {
        tl::diagnose("tleGameEngine::open", {QStringLiteral("failed to open file '%1'.").arg(gameFile)});
        return false;
    }

    QXmlStreamReader xml(&file);
    if (file.size() > maxGameFileBytes)
        xml.raiseError(QStringLiteral("The file is too large for a game."));
    bool gameSeen = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef element = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        if (element == QLatin1String("game")) {
            gameSeen = true;
        } else if (element == QLatin1String("layout") && gameSeen) {
            const uint32_t fileChecksum = uintAttribute(attributes, "cs");
            const uint32_t layoutChecksum = gameBoard->layout()->checksum();
            if (fileChecksum != layoutChecksum) {
                tl::diagnose("tleGameEngine::open",
                             {QStringLiteral("checksums of layout (%1) and game file (%2) do not match.")
                                  .arg(layoutChecksum).arg(fileChecksum)});
                return false;
            }
        } else if (element == QLatin1String("tile") && gameSeen) {
            const int32_t layer = intAttribute(attributes, "layer");
            const int32_t x = intAttribute(attributes, "x");
            const int32_t y = intAttribute(attributes, "y");
            const uint32_t type = uintAttribute(attributes, "type");
            tleTile *tile = gameBoard->tileAt(layer, x, y);
            if (!tile)
                xml.raiseError(QStringLiteral("No tile lies at layer %1, x %2, y %3.").arg(layer).arg(x).arg(y));
            else if (type >= uint32_t(tle::kindCount))
                xml.raiseError(QStringLiteral("Tile type %1 is out of range.").arg(attributes.value(QLatin1String("type"))));
            else
                tile->type = type;
        }
    }
    gameBoard->kindsChanged();
    if (gameSeen && !xml.hasError())
        return true;

    tl::diagnoseDamagedFile("tleGameEngine::open", gameFile, QStringLiteral("Game"), xml);
    return false;
}

bool tleGameEngine::peek(const QString &gameFile, QString &layoutName, uint32_t &checksum) const
{
    QFile file(gameFile);
    if (!file.open(QIODevice::ReadOnly)) {
        tl::diagnose("tleGameEngine::peek", {QStringLiteral("failed to open file '%1'.").arg(gameFile)});
        return false;
    }
    checksum = 0;
    layoutName.clear();
    if (file.size() > maxGameFileBytes)
        return false;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("layout")) {
            checksum = uintAttribute(xml.attributes(), "cs");
            layoutName = xml.attributes().value(QLatin1String("name")).toString();
            break;
        }
    }
    return checksum != 0 && !layoutName.isEmpty();
}
