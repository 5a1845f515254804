#include "tleGameEngine.h"

#include "tlDiagnostics.h"
#include "tlFileSaver.h"
#include "tlLayoutHandler.h"
#include "tlVersion.h"
#include "tleTileKinds.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

uint32_t uintAttribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toUInt();
}

// A coordinate as the game writes it: a decimal integer, present.
bool decimalAttribute(const QXmlStreamAttributes &attributes, const char *name, int32_t &value)
{
    bool ok = false;
    value = attributes.value(QLatin1String(name)).toInt(&ok);
    return ok;
}

// A kind as the game writes it: plain decimal digits naming one of the kinds.
bool readKind(const QStringRef &text, uint32_t &kind)
{
    const int longest = 2;
    if (text.isEmpty() || text.size() > longest)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    kind = text.toUInt();
    return kind < uint32_t(tle::kindCount);
}

}

bool tleGameEngine::save(const QString &fileName) const
{
    if (!boardReady()) {
        tl::diagnose("tleGameEngine::save", {QStringLiteral("couldn't open file '%1'.").arg(fileName)});
        return false;
    }
    // The whole document first, so that the file is replaced only by a complete game.
    const tlLayoutHandler *layout = gameBoard->layout();
    QByteArray document;
    QXmlStreamWriter xml(&document);
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
    QString reason;
    if (!tl::saveFile(fileName, document, &reason)) {
        // No file could be made where none was: a missing or read-only folder.
        const QFileInfo target(fileName);
        if (!target.exists() && !QFileInfo(target.absolutePath()).isWritable()) {
            tl::diagnose("tleGameEngine::save",
                         {QStringLiteral("couldn't open file '%1'.").arg(fileName)});
        } else {
            tl::diagnose("tleGameEngine::save",
                         {QStringLiteral("couldn't write file '%1'.").arg(fileName), reason});
        }
        return false;
    }
    return true;
}

tleGameEngine::Game tleGameEngine::takeGame()
{
    return Game{std::move(gameBoard), tileRecords, removed, lastUndone};
}

void tleGameEngine::restoreGame(Game &&game)
{
    // The records are copied back into the same buffer, so every pointer the kept
    // board, history and tile items hold is valid again.
    gameBoard = std::move(game.board);
    tileRecords.resize(game.records.size());
    std::copy(game.records.begin(), game.records.end(), tileRecords.begin());
    tilePointers.clear();
    for (tleTile &tile : tileRecords)
        tilePointers.push_back(&tile);
    removed = std::move(game.removed);
    lastUndone = game.lastUndone;
}

bool tleGameEngine::open(const QString &gameFile, const QString &layoutFile)
{
    Game running = takeGame();
    if (!init(layoutFile)) {
        tl::diagnose("tleGameEngine::open",
                     {QStringLiteral("failed to open layout file '%1'.").arg(layoutFile)});
        restoreGame(std::move(running));
        return false;
    }
    if (!readKinds(gameFile)) {
        restoreGame(std::move(running));
        return false;
    }
    return true;
}

bool tleGameEngine::readKinds(const QString &gameFile)
{
    QFile file(gameFile);
    if (!file.open(QIODevice::ReadOnly)) {
        tl::diagnose("tleGameEngine::open", {QStringLiteral("failed to open file '%1'.").arg(gameFile)});
        return false;
    }

    QXmlStreamReader xml(&file);
    if (file.size() > maxGameFileBytes)
        xml.raiseError(QStringLiteral("The file is too large for a game."));
    bool gameSeen = false;
    std::vector<bool> named(tileRecords.size(), false);
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
                                  .arg(QString::number(layoutChecksum), QString::number(fileChecksum))});
                return false;
            }
        } else if (element == QLatin1String("tile") && gameSeen) {
            readTile(xml, attributes, named);
        }
    }
    gameBoard->kindsChanged();
    if (gameSeen && !xml.hasError() && !isFullSet(kinds()))
        xml.raiseError(QStringLiteral("The tiles are not a whole tile set."));
    if (gameSeen && !xml.hasError())
        return true;

    tl::diagnoseDamagedFile("tleGameEngine::open", gameFile, QStringLiteral("Game"), xml);
    return false;
}

void tleGameEngine::readTile(QXmlStreamReader &xml, const QXmlStreamAttributes &attributes,
                             std::vector<bool> &named)
{
    int32_t layer = 0, x = 0, y = 0;
    uint32_t type = 0;
    const QStringRef typeText = attributes.value(QLatin1String("type"));
    if (!decimalAttribute(attributes, "layer", layer) || !decimalAttribute(attributes, "x", x)
        || !decimalAttribute(attributes, "y", y)) {
        xml.raiseError(QStringLiteral("A tile lacks its layer, x or y."));
        return;
    }
    if (!readKind(typeText, type)) {
        xml.raiseError(QStringLiteral("Tile type %1 is out of range.").arg(typeText));
        return;
    }
    tleTile *tile = gameBoard->tileAt(layer, x, y);
    const QString cell = QStringLiteral("layer %1, x %2, y %3")
                             .arg(QString::number(layer), QString::number(x), QString::number(y));
    if (!tile) {
        xml.raiseError(QStringLiteral("No tile lies at %1.").arg(cell));
        return;
    }
    std::vector<bool>::reference seen = named[size_t(tile - tileRecords.data())];
    if (seen) {
        xml.raiseError(QStringLiteral("The tile at %1 is named twice.").arg(cell));
        return;
    }
    seen = true;
    tile->type = type;
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
