#include "tlSettings.h"

#include "tlDiagnostics.h"
#include "tlHighscoreList.h"
#include "tlLayoutLocator.h"
#include "tleTileKinds.h"

#include <QDir>
#include <QSettings>
#include <algorithm>
#include <variant>
#include <vector>

namespace {

const QString organisationName = QStringLiteral("vk");
const QString applicationName = QStringLiteral("Tilvane");
// Written for the designer program's sake; this program never reads it back.
const double storeVersion = 2.24;

// What the game can work with. A hand-edited or damaged store could otherwise leave a
// window without tiles, a box that can never be won, or a highscore list with no room,
// and quitting would write the damage back for every later start.
constexpr int fewestHighscoreEntries = 1;
constexpr int mostHighscoreEntries = 100;
constexpr int colourComponentLowest = 0;
constexpr int colourComponentHighest = 255;
constexpr int lowestTileHeight = 20;
constexpr int highestTileHeight = 1000;  // the window caps it to the screen later
constexpr int lowestThumbnailHeight = 8;
constexpr int highestThumbnailHeight = 200;
constexpr int fewestRecentLayoutFiles = 0;
constexpr int mostRecentLayoutFiles = 100;
constexpr int fewestLayers = 1;
constexpr int mostLayers = 64;

using Range = tlSettings::Range;

// The stored value of `key`, or the default when it is no number in range; a missing
// key takes the default silently.
int readChecked(const QSettings &store, const QString &key, Range range, int defaultValue)
{
    const QVariant stored = store.value(key);
    if (!stored.isValid())
        return defaultValue;
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (isNumber && value >= range.lowest && value <= range.highest)
        return value;
    // A list shows up when the text held a comma.
    const QString text = stored.type() == QVariant::StringList
        ? stored.toStringList().join(QLatin1String(", ")) : stored.toString();
    tl::diagnose("tlSettings::readSettings",
                 {QStringLiteral("%1 is '%2', not a number from %3 to %4; using %5.")
                      .arg(store.group() + key, text, QString::number(range.lowest),
                           QString::number(range.highest), QString::number(defaultValue))});
    return defaultValue;
}

// Opens "group" and its nested "/Preferences" for the life of the object.
class PreferencesGroup
{
public:
    PreferencesGroup(QSettings &settingsStore, const QString &group) : store(settingsStore)
    {
        store.beginGroup(group);
        store.beginGroup(QStringLiteral("/Preferences"));
    }
    ~PreferencesGroup()
    {
        store.endGroup();
        store.endGroup();
    }
    PreferencesGroup(const PreferencesGroup &) = delete;
    PreferencesGroup &operator=(const PreferencesGroup &) = delete;

private:
    QSettings &store;
};

// The kinds of member a stored key loads into and is saved from, each with its fall-back.

// Taken as the store gives it back.
template <typename T>
struct Plain
{
    T tlSettings::*current;
    const T tlSettings::*fallback;

    void read(tlSettings &settings, const QSettings &store, const QString &key) const
    {
        settings.*current = store.value(key, settings.*fallback).template value<T>();
    }
    void write(const tlSettings &settings, QSettings &store, const QString &key) const
    {
        store.setValue(key, settings.*current);
    }
};
template <typename T>
Plain(T tlSettings::*, const T tlSettings::*) -> Plain<T>;

struct Number
{
    int tlSettings::*current;
    const int tlSettings::*fallback;
    Range range;

    void read(tlSettings &settings, const QSettings &store, const QString &key) const
    {
        settings.*current = readChecked(store, key, range, settings.*fallback);
    }
    void write(const tlSettings &settings, QSettings &store, const QString &key) const
    {
        store.setValue(key, settings.*current);
    }
};

// Kept as its number.
struct Style
{
    tlTileStyle tlSettings::*current;
    const tlTileStyle tlSettings::*fallback;

    void read(tlSettings &settings, const QSettings &store, const QString &key) const
    {
        const Range styles = {tl::tileStyleNumber(tl::tileStyles.front()),
                              tl::tileStyleNumber(tl::tileStyles.back())};
        settings.*current = *tl::tileStyleFromNumber(
            readChecked(store, key, styles, tl::tileStyleNumber(settings.*fallback)));
    }
    void write(const tlSettings &settings, QSettings &store, const QString &key) const
    {
        store.setValue(key, tl::tileStyleNumber(settings.*current));
    }
};

// One component of a colour, which the store keeps without alpha: it loads opaque.
struct ColourPart
{
    QColor tlSettings::*current;
    const QColor tlSettings::*fallback;
    int (QColor::*get)() const;
    void (QColor::*set)(int);

    void read(tlSettings &settings, const QSettings &store, const QString &key) const
    {
        QColor colour = QColor::fromRgb((settings.*current).rgb());
        (colour.*set)(readChecked(store, key, {colourComponentLowest, colourComponentHighest},
                                  ((settings.*fallback).*get)()));
        settings.*current = colour;
    }
    void write(const tlSettings &settings, QSettings &store, const QString &key) const
    {
        store.setValue(key, ((settings.*current).*get)());
    }
};

// The store has always been written in the order it is read but for one key.
enum class Saved { InReadOrder, AheadOfPrevious };

struct Entry
{
    const char *group;  // below the root group, holding a nested "/Preferences"
    const char *key;
    std::variant<Plain<bool>, Plain<QString>, Plain<QStringList>, Number, Style, ColourPart> member;
    Saved saved = Saved::InReadOrder;
};

constexpr char general[] = "/General";
constexpr char layoutDesigner[] = "/Layout Designer";
constexpr char game[] = "/Game";

// Every preference, in the order the store is read.
const Entry entries[] = {
    {general, "/MaxTiles",
     Number{&tlSettings::maxTiles, &tlSettings::defaultMaxTiles, {tle::setSize, tle::setSize}}},
    {general, "/MaxHighscoreEntries",
     Number{&tlSettings::maxHighscoreEntries, &tlSettings::defaultMaxHighscoreEntries,
            {fewestHighscoreEntries, mostHighscoreEntries}}},

    {layoutDesigner, "/AnalysisReportDirectory",
     Plain{&tlSettings::analysisReportDirectory, &tlSettings::defaultAnalysisReportDirectory}},
    {layoutDesigner, "/SaveFileDirectory",
     Plain{&tlSettings::saveFileDirectory, &tlSettings::defaultSaveFileDirectory}},
    {layoutDesigner, "/OpenFileDirectory",
     Plain{&tlSettings::openFileDirectory, &tlSettings::defaultOpenFileDirectory}},
    {layoutDesigner, "/GridWidth",
     Number{&tlSettings::gridWidth, &tlSettings::defaultGridWidth, tlSettings::gridWidthRange}},
    {layoutDesigner, "/GridHeight",
     Number{&tlSettings::gridHeight, &tlSettings::defaultGridHeight, tlSettings::gridHeightRange}},
    {layoutDesigner, "/MaxTilesHorizontal",
     Number{&tlSettings::maxTilesHorizontal, &tlSettings::defaultMaxTilesHorizontal,
            tlSettings::tilesAcrossRange}},
    {layoutDesigner, "/MaxTilesVertical",
     Number{&tlSettings::maxTilesVertical, &tlSettings::defaultMaxTilesVertical,
            tlSettings::tilesAcrossRange}},
    {layoutDesigner, "/GridOffset",
     Number{&tlSettings::gridOffset, &tlSettings::defaultGridOffset,
            tlSettings::gridOffsetRange}},
    {layoutDesigner, "/MaxLayers",
     Number{&tlSettings::maxLayers, &tlSettings::defaultMaxLayers, {fewestLayers, mostLayers}}},
    {layoutDesigner, "/AutoInsertTopLayer",
     Plain{&tlSettings::autoInsertTopLayer, &tlSettings::defaultAutoInsertTopLayer}},
    {layoutDesigner, "/TransparentBackground",
     Plain{&tlSettings::transparentBackground, &tlSettings::defaultTransparentBackground}},
    {layoutDesigner, "/MaxRecentLayoutFiles",
     Number{&tlSettings::maxRecentLayoutFiles, &tlSettings::defaultMaxRecentLayoutFiles,
            {fewestRecentLayoutFiles, mostRecentLayoutFiles}}},
    {layoutDesigner, "/RecentLayoutFiles",
     Plain{&tlSettings::recentLayoutFiles, &tlSettings::defaultRecentLayoutFiles},
     Saved::AheadOfPrevious},

    {game, "/BackgroundColor/red",
     ColourPart{&tlSettings::backgroundColor, &tlSettings::defaultBackgroundColor, &QColor::red,
                &QColor::setRed}},
    {game, "/BackgroundColor/green",
     ColourPart{&tlSettings::backgroundColor, &tlSettings::defaultBackgroundColor, &QColor::green,
                &QColor::setGreen}},
    {game, "/BackgroundColor/blue",
     ColourPart{&tlSettings::backgroundColor, &tlSettings::defaultBackgroundColor, &QColor::blue,
                &QColor::setBlue}},
    {game, "/ViewTileCoordinates",
     Plain{&tlSettings::viewTileCoordinates, &tlSettings::defaultViewTileCoordinates}},
    {game, "/LayoutName", Plain{&tlSettings::layoutName, &tlSettings::defaultLayoutName}},
    {game, "/TileStyle", Style{&tlSettings::tileStyle, &tlSettings::defaultTileStyle}},
    {game, "/BoardFrameWidth",
     Number{&tlSettings::boardFrameWidth, &tlSettings::defaultBoardFrameWidth,
            tlSettings::boardFrameWidthRange}},
    {game, "/WinnableGameMode",
     Plain{&tlSettings::winnableGameMode, &tlSettings::defaultWinnableGameMode}},
    {game, "/StartWithLastGamePlayedAtLaunch",
     Plain{&tlSettings::startWithLastGamePlayedAtLaunch,
           &tlSettings::defaultStartWithLastGamePlayedAtLaunch}},
    {game, "/TileHeight",
     Number{&tlSettings::tileHeight, &tlSettings::defaultTileHeight,
            {lowestTileHeight, highestTileHeight}}},
    {game, "/AnnounceNoMoreMoves",
     Plain{&tlSettings::announceNoMoreMoves, &tlSettings::defaultAnnounceNoMoreMoves}},
    {game, "/SaveGameDirectory",
     Plain{&tlSettings::saveGameDirectory, &tlSettings::defaultSaveGameDirectory}},
    {game, "/SolutionReportDirectory",
     Plain{&tlSettings::solutionReportDirectory, &tlSettings::defaultSolutionReportDirectory}},
    {game, "/ShowSelectedTileName",
     Plain{&tlSettings::showSelectedTileName, &tlSettings::defaultShowSelectedTileName}},
    {game, "/HintAlsoReportsTotalMoves",
     Plain{&tlSettings::hintAlsoReportsTotalMoves, &tlSettings::defaultHintAlsoReportsTotalMoves}},
    {game, "/ThumbnailHeight",
     Number{&tlSettings::thumbnailHeight, &tlSettings::defaultThumbnailHeight,
            {lowestThumbnailHeight, highestThumbnailHeight}}},
    {game, "/ShowWinnability",
     Plain{&tlSettings::showWinnability, &tlSettings::defaultShowWinnability}},
};

// The entries in the order the store is written.
std::vector<const Entry *> saveOrder()
{
    std::vector<const Entry *> order;
    for (const Entry &entry : entries) {
        order.push_back(&entry);
        if (entry.saved == Saved::AheadOfPrevious)
            std::iter_swap(order.end() - 2, order.end() - 1);
    }
    return order;
}

void readEntry(const Entry &entry, tlSettings &settings, QSettings &store)
{
    PreferencesGroup group(store, QLatin1String(entry.group));
    std::visit([&](const auto &member) { member.read(settings, store, QLatin1String(entry.key)); },
               entry.member);
}

void writeEntry(const Entry &entry, const tlSettings &settings, QSettings &store)
{
    PreferencesGroup group(store, QLatin1String(entry.group));
    std::visit([&](const auto &member) { member.write(settings, store, QLatin1String(entry.key)); },
               entry.member);
}

}

tlSettings &tlSettings::instance()
{
    // Deliberately never destroyed: dialogs may still read it while the process ends.
    static tlSettings *settings = new tlSettings;
    return *settings;
}

tlSettings::tlSettings()
    : defaultAnalysisReportDirectory(QDir::homePath())
    , defaultSaveFileDirectory(QDir::homePath())
    , defaultOpenFileDirectory(QDir::homePath())
    , defaultBackgroundColor(Qt::darkGreen)
    , defaultLayoutName(QStringLiteral("Turtle"))
    , defaultSaveGameDirectory(QDir::homePath())
    , defaultSolutionReportDirectory(QDir::homePath())
{
    openStore();
}

tlSettings::~tlSettings() = default;

void tlSettings::openStore()
{
    store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                        organisationName, applicationName);
}

QString tlSettings::storeFileName() const
{
    return store->fileName();
}

const QStringList &tlSettings::builtInLayouts()
{
    static const QStringList names = {
        QStringLiteral("Aqab"), QStringLiteral("Arena"), QStringLiteral("Butterfly"),
        QStringLiteral("Canyon"), QStringLiteral("Flower"), QStringLiteral("Harmony"),
        QStringLiteral("Labyrinth"), QStringLiteral("Montezuma"), QStringLiteral("Corvalo"),
        QStringLiteral("Split Pyramid"), QStringLiteral("Temple"), QStringLiteral("Turtle"),
        QStringLiteral("Waves"),
    };
    return names;
}

bool tlSettings::isBuiltInLayout(const QString &name)
{
    return builtInLayouts().contains(name, Qt::CaseSensitive);
}

void tlSettings::addUserLayoutFile(const QString &name, const QString &path)
{
    userLayouts.append(qMakePair(name, path));
}

void tlSettings::removeUserLayoutFile(const QString &name)
{
    userLayouts.erase(std::remove_if(userLayouts.begin(), userLayouts.end(),
                                     [&name](const auto &entry) { return entry.first == name; }),
                      userLayouts.end());
}

QString tlSettings::userLayoutFile(const QString &name) const
{
    for (const auto &entry : userLayouts) {
        if (entry.first == name)
            return entry.second;
    }
    return QString();
}

void tlSettings::lendUserLayoutsToLocator() const
{
    // The settings are never destroyed, so the locator may keep this for good.
    tlLayoutLocator::setUserLayoutLookup([this](const QString &name) { return userLayoutFile(name); });
}

QStringList tlSettings::userLayoutNames() const
{
    QStringList names;
    for (const auto &entry : userLayouts)
        names << entry.first;
    return names;
}

void tlSettings::readSettings()
{
    store->beginGroup(QStringLiteral("/Tilvane"));
    for (const Entry &entry : entries)
        readEntry(entry, *this, *store);
    while (recentLayoutFiles.size() > maxRecentLayoutFiles)
        recentLayoutFiles.removeLast();
    readUserLayouts();
    tlHighscoreList *highscores = tlHighscoreList::instance();
    highscores->setCapacity(maxHighscoreEntries);
    highscores->readHighscores(*store);
    store->endGroup();
}

QVector<QPair<QString, QString>> tlSettings::storedUserLayouts()
{
    QVector<QPair<QString, QString>> stored;
    store->beginGroup(QStringLiteral("/UserInput"));
    const int count = store->beginReadArray(QStringLiteral("Layouts"));
    for (int i = 0; i < count; ++i) {
        store->setArrayIndex(i);
        const QString name = store->value(QStringLiteral("LayoutName")).toString();
        const QString path = store->value(QStringLiteral("LayoutPath")).toString();
        if (!isBuiltInLayout(name))
            stored.append(qMakePair(name, path));
    }
    store->endArray();
    store->endGroup();
    return stored;
}

void tlSettings::readUserLayouts()
{
    userLayouts = storedUserLayouts();
    userLayoutsInStore = userLayoutNames();
}

void tlSettings::adoptUserLayoutsAddedElsewhere()
{
    // The game and the designer share the store, each holding its own copy while it
    // runs; a layout the other one registered meanwhile would be lost by writing ours.
    // Those this program removed itself were in the store when it last looked, and
    // stay removed.
    store->sync();
    for (const auto &entry : storedUserLayouts()) {
        if (!userLayoutsInStore.contains(entry.first) && userLayoutFile(entry.first).isEmpty())
            addUserLayoutFile(entry.first, entry.second);
    }
}

bool tlSettings::writeSettings()
{
    // status() keeps only the first trouble, so a damaged file met while reading would
    // hide the outcome of this write; a fresh handle starts clean.
    if (store->status() != QSettings::NoError) {
        store.reset();
        openStore();
    }
    store->beginGroup(QStringLiteral("/Tilvane"));
    adoptUserLayoutsAddedElsewhere();
    store->setValue(QStringLiteral("/Version"), storeVersion);
    for (const Entry *entry : saveOrder())
        writeEntry(*entry, *this, *store);
    writeUserLayouts();
    tlHighscoreList::instance()->writeHighscores(*store);
    store->endGroup();
    store->sync();
    // An access error means the file could not be written; a format error comes from
    // reading the old file, which this write has replaced.
    const bool written = store->status() != QSettings::AccessError;
    if (!written) {
        tl::diagnose("tlSettings::writeSettings",
                     {QStringLiteral("Could not write the settings and highscores to '%1'.")
                          .arg(store->fileName())});
    }
    // Destroying the store commits it; a fresh one on the same place takes later saves.
    store.reset();
    openStore();
    return written;
}

void tlSettings::writeUserLayouts()
{
    store->beginGroup(QStringLiteral("/UserInput"));
    // Entries beyond the new size would otherwise linger in the file after a removal.
    store->remove(QStringLiteral("Layouts"));
    store->beginWriteArray(QStringLiteral("Layouts"));
    for (int i = 0; i < userLayouts.size(); ++i) {
        store->setArrayIndex(i);
        store->setValue(QStringLiteral("LayoutName"), userLayouts.at(i).first);
        store->setValue(QStringLiteral("LayoutPath"), userLayouts.at(i).second);
    }
    store->endArray();
    store->endGroup();
    userLayoutsInStore = userLayoutNames();
}
