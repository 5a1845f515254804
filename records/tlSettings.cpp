#include "tlSettings.h"

#include "tlDiagnostics.h"
#include "tlHighscoreList.h"
#include "tleTileKinds.h"

#include <QDir>
#include <QSettings>
#include <algorithm>
#include <limits>

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
constexpr int firstTileStyle = 0;
constexpr int lastTileStyle = 2;
constexpr int narrowestBoardFrame = 0;
constexpr int widestBoardFrame = 100;
constexpr int lowestTileHeight = 20;
constexpr int highestTileHeight = 1000;  // the window caps it to the screen later
constexpr int lowestThumbnailHeight = 8;
constexpr int highestThumbnailHeight = 200;
constexpr int fewestRecentLayoutFiles = 0;
constexpr int mostRecentLayoutFiles = 100;
// The layout designer shares the store; these are its preference spin boxes' limits.
constexpr int narrowestGrid = 20;
constexpr int widestGrid = 80;
constexpr int lowestGrid = 20;
constexpr int highestGrid = 100;
constexpr int smallestGridOffset = 0;
constexpr int largestGridOffset = 50;
constexpr int fewestTilesAcross = 5;
constexpr int mostTilesAcross = 50;
constexpr int fewestLayers = 1;
constexpr int mostLayers = 64;

struct CheckedRange
{
    const char *key;  // unique across the preference groups
    int lowest;
    int highest;
};

const CheckedRange checkedRanges[] = {
    {"/MaxTiles", tle::setSize, tle::setSize},
    {"/MaxHighscoreEntries", fewestHighscoreEntries, mostHighscoreEntries},
    {"/GridWidth", narrowestGrid, widestGrid},
    {"/GridHeight", lowestGrid, highestGrid},
    {"/MaxTilesHorizontal", fewestTilesAcross, mostTilesAcross},
    {"/MaxTilesVertical", fewestTilesAcross, mostTilesAcross},
    {"/GridOffset", smallestGridOffset, largestGridOffset},
    {"/MaxLayers", fewestLayers, mostLayers},
    {"/MaxRecentLayoutFiles", fewestRecentLayoutFiles, mostRecentLayoutFiles},
    {"/BackgroundColor/red", colourComponentLowest, colourComponentHighest},
    {"/BackgroundColor/green", colourComponentLowest, colourComponentHighest},
    {"/BackgroundColor/blue", colourComponentLowest, colourComponentHighest},
    {"/TileStyle", firstTileStyle, lastTileStyle},
    {"/BoardFrameWidth", narrowestBoardFrame, widestBoardFrame},
    {"/TileHeight", lowestTileHeight, highestTileHeight},
    {"/ThumbnailHeight", lowestThumbnailHeight, highestThumbnailHeight},
};

// The stored value of a key listed in checkedRanges, or the default when it is no
// number in range; a missing key takes the default silently.
int readChecked(const QSettings &store, const QString &key, int defaultValue)
{
    const QVariant stored = store.value(key);
    if (!stored.isValid())
        return defaultValue;
    const auto range =
        std::find_if(std::begin(checkedRanges), std::end(checkedRanges),
                     [&key](const CheckedRange &r) { return key == QLatin1String(r.key); });
    // A key missing from the table is a slip of ours; it still has to be a number.
    const bool listed = range != std::end(checkedRanges);
    Q_ASSERT(listed);
    const int lowest = listed ? range->lowest : std::numeric_limits<int>::min();
    const int highest = listed ? range->highest : std::numeric_limits<int>::max();
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (isNumber && value >= lowest && value <= highest)
        return value;
    // A list shows up when the text held a comma.
    const QString text = stored.type() == QVariant::StringList
        ? stored.toStringList().join(QLatin1String(", ")) : stored.toString();
    tl::diagnose("tlSettings::readSettings",
                 {QStringLiteral("%1 is '%2', not a number from %3 to %4; using %5.")
                      .arg(store.group() + key, text, QString::number(lowest),
                           QString::number(highest), QString::number(defaultValue))});
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
    readGeneral();
    readLayoutDesigner();
    readGame();
    readUserLayouts();
    tlHighscoreList::instance()->readHighscores(*store);
    store->endGroup();
}

void tlSettings::readGeneral()
{
    PreferencesGroup group(*store, QStringLiteral("/General"));
    maxTiles = readChecked(*store, QStringLiteral("/MaxTiles"), defaultMaxTiles);
    maxHighscoreEntries =
        readChecked(*store, QStringLiteral("/MaxHighscoreEntries"), defaultMaxHighscoreEntries);
}

void tlSettings::readLayoutDesigner()
{
    PreferencesGroup group(*store, QStringLiteral("/Layout Designer"));
    analysisReportDirectory = store->value(QStringLiteral("/AnalysisReportDirectory"),
                                           defaultAnalysisReportDirectory).toString();
    saveFileDirectory =
        store->value(QStringLiteral("/SaveFileDirectory"), defaultSaveFileDirectory).toString();
    openFileDirectory =
        store->value(QStringLiteral("/OpenFileDirectory"), defaultOpenFileDirectory).toString();
    gridWidth = readChecked(*store, QStringLiteral("/GridWidth"), defaultGridWidth);
    gridHeight = readChecked(*store, QStringLiteral("/GridHeight"), defaultGridHeight);
    maxTilesHorizontal =
        readChecked(*store, QStringLiteral("/MaxTilesHorizontal"), defaultMaxTilesHorizontal);
    maxTilesVertical =
        readChecked(*store, QStringLiteral("/MaxTilesVertical"), defaultMaxTilesVertical);
    gridOffset = readChecked(*store, QStringLiteral("/GridOffset"), defaultGridOffset);
    maxLayers = readChecked(*store, QStringLiteral("/MaxLayers"), defaultMaxLayers);
    autoInsertTopLayer =
        store->value(QStringLiteral("/AutoInsertTopLayer"), defaultAutoInsertTopLayer).toBool();
    transparentBackground =
        store->value(QStringLiteral("/TransparentBackground"), defaultTransparentBackground)
            .toBool();
    maxRecentLayoutFiles =
        readChecked(*store, QStringLiteral("/MaxRecentLayoutFiles"), defaultMaxRecentLayoutFiles);
    recentLayoutFiles = store->value(QStringLiteral("/RecentLayoutFiles")).toStringList();
    while (recentLayoutFiles.size() > maxRecentLayoutFiles)
        recentLayoutFiles.removeLast();
}

void tlSettings::readGame()
{
    PreferencesGroup group(*store, QStringLiteral("/Game"));
    const int red =
        readChecked(*store, QStringLiteral("/BackgroundColor/red"), defaultBackgroundColor.red());
    const int green = readChecked(*store, QStringLiteral("/BackgroundColor/green"),
                                  defaultBackgroundColor.green());
    const int blue =
        readChecked(*store, QStringLiteral("/BackgroundColor/blue"), defaultBackgroundColor.blue());
    backgroundColor = QColor(red, green, blue);
    viewTileCoordinates =
        store->value(QStringLiteral("/ViewTileCoordinates"), defaultViewTileCoordinates).toBool();
    layoutName = store->value(QStringLiteral("/LayoutName"), defaultLayoutName).toString();
    tileStyle = readChecked(*store, QStringLiteral("/TileStyle"), defaultTileStyle);
    boardFrameWidth =
        readChecked(*store, QStringLiteral("/BoardFrameWidth"), defaultBoardFrameWidth);
    winnableGameMode =
        store->value(QStringLiteral("/WinnableGameMode"), defaultWinnableGameMode).toBool();
    startWithLastGamePlayedAtLaunch =
        store->value(QStringLiteral("/StartWithLastGamePlayedAtLaunch"),
                     defaultStartWithLastGamePlayedAtLaunch).toBool();
    tileHeight = readChecked(*store, QStringLiteral("/TileHeight"), defaultTileHeight);
    announceNoMoreMoves =
        store->value(QStringLiteral("/AnnounceNoMoreMoves"), defaultAnnounceNoMoreMoves).toBool();
    saveGameDirectory =
        store->value(QStringLiteral("/SaveGameDirectory"), defaultSaveGameDirectory).toString();
    solutionReportDirectory = store->value(QStringLiteral("/SolutionReportDirectory"),
                                           defaultSolutionReportDirectory).toString();
    showSelectedTileName =
        store->value(QStringLiteral("/ShowSelectedTileName"), defaultShowSelectedTileName)
            .toBool();
    hintAlsoReportsTotalMoves = store->value(QStringLiteral("/HintAlsoReportsTotalMoves"),
                                             defaultHintAlsoReportsTotalMoves).toBool();
    thumbnailHeight =
        readChecked(*store, QStringLiteral("/ThumbnailHeight"), defaultThumbnailHeight);
}

void tlSettings::readUserLayouts()
{
    store->beginGroup(QStringLiteral("/UserInput"));
    userLayouts.clear();
    const int count = store->beginReadArray(QStringLiteral("Layouts"));
    for (int i = 0; i < count; ++i) {
        store->setArrayIndex(i);
        const QString name = store->value(QStringLiteral("LayoutName")).toString();
        const QString path = store->value(QStringLiteral("LayoutPath")).toString();
        if (!isBuiltInLayout(name))
            addUserLayoutFile(name, path);
    }
    store->endArray();
    store->endGroup();
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
    store->setValue(QStringLiteral("/Version"), storeVersion);
    writeGeneral();
    writeLayoutDesigner();
    writeGame();
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

void tlSettings::writeGeneral()
{
    PreferencesGroup group(*store, QStringLiteral("/General"));
    store->setValue(QStringLiteral("/MaxTiles"), maxTiles);
    store->setValue(QStringLiteral("/MaxHighscoreEntries"), maxHighscoreEntries);
}

void tlSettings::writeLayoutDesigner()
{
    PreferencesGroup group(*store, QStringLiteral("/Layout Designer"));
    store->setValue(QStringLiteral("/AnalysisReportDirectory"), analysisReportDirectory);
    store->setValue(QStringLiteral("/SaveFileDirectory"), saveFileDirectory);
    store->setValue(QStringLiteral("/OpenFileDirectory"), openFileDirectory);
    store->setValue(QStringLiteral("/GridWidth"), gridWidth);
    store->setValue(QStringLiteral("/GridHeight"), gridHeight);
    store->setValue(QStringLiteral("/MaxTilesHorizontal"), maxTilesHorizontal);
    store->setValue(QStringLiteral("/MaxTilesVertical"), maxTilesVertical);
    store->setValue(QStringLiteral("/GridOffset"), gridOffset);
    store->setValue(QStringLiteral("/MaxLayers"), maxLayers);
    store->setValue(QStringLiteral("/AutoInsertTopLayer"), autoInsertTopLayer);
    store->setValue(QStringLiteral("/TransparentBackground"), transparentBackground);
    store->setValue(QStringLiteral("/RecentLayoutFiles"), recentLayoutFiles);
    store->setValue(QStringLiteral("/MaxRecentLayoutFiles"), maxRecentLayoutFiles);
}

void tlSettings::writeGame()
{
    PreferencesGroup group(*store, QStringLiteral("/Game"));
    store->setValue(QStringLiteral("/BackgroundColor/red"), backgroundColor.red());
    store->setValue(QStringLiteral("/BackgroundColor/green"), backgroundColor.green());
    store->setValue(QStringLiteral("/BackgroundColor/blue"), backgroundColor.blue());
    store->setValue(QStringLiteral("/ViewTileCoordinates"), viewTileCoordinates);
    store->setValue(QStringLiteral("/LayoutName"), layoutName);
    store->setValue(QStringLiteral("/TileStyle"), tileStyle);
    store->setValue(QStringLiteral("/BoardFrameWidth"), boardFrameWidth);
    store->setValue(QStringLiteral("/WinnableGameMode"), winnableGameMode);
    store->setValue(QStringLiteral("/StartWithLastGamePlayedAtLaunch"),
                    startWithLastGamePlayedAtLaunch);
    store->setValue(QStringLiteral("/TileHeight"), tileHeight);
    store->setValue(QStringLiteral("/AnnounceNoMoreMoves"), announceNoMoreMoves);
    store->setValue(QStringLiteral("/SaveGameDirectory"), saveGameDirectory);
    store->setValue(QStringLiteral("/SolutionReportDirectory"), solutionReportDirectory);
    store->setValue(QStringLiteral("/ShowSelectedTileName"), showSelectedTileName);
    store->setValue(QStringLiteral("/HintAlsoReportsTotalMoves"), hintAlsoReportsTotalMoves);
    store->setValue(QStringLiteral("/ThumbnailHeight"), thumbnailHeight);
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
}
