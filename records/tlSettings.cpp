#include "tlSettings.h"

#include "tlHighscoreList.h"

#include <QDir>
#include <QSettings>

namespace {

const QString organisationName = QStringLiteral("vk");
const QString applicationName = QStringLiteral("Tilvane");
// Written for the designer program's sake; this program never reads it back.
const double storeVersion = 2.24;

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
    maxTiles = store->value(QStringLiteral("/MaxTiles"), defaultMaxTiles).toInt();
    maxHighscoreEntries =
        store->value(QStringLiteral("/MaxHighscoreEntries"), defaultMaxHighscoreEntries).toInt();
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
    gridWidth = store->value(QStringLiteral("/GridWidth"), defaultGridWidth).toInt();
    gridHeight = store->value(QStringLiteral("/GridHeight"), defaultGridHeight).toInt();
    maxTilesHorizontal =
        store->value(QStringLiteral("/MaxTilesHorizontal"), defaultMaxTilesHorizontal).toInt();
    maxTilesVertical =
        store->value(QStringLiteral("/MaxTilesVertical"), defaultMaxTilesVertical).toInt();
    gridOffset = store->value(QStringLiteral("/GridOffset"), defaultGridOffset).toInt();
    maxLayers = store->value(QStringLiteral("/MaxLayers"), defaultMaxLayers).toInt();
    autoInsertTopLayer =
        store->value(QStringLiteral("/AutoInsertTopLayer"), defaultAutoInsertTopLayer).toBool();
    transparentBackground =
        store->value(QStringLiteral("/TransparentBackground"), defaultTransparentBackground)
            .toBool();
    maxRecentLayoutFiles =
        store->value(QStringLiteral("/MaxRecentLayoutFiles"), defaultMaxRecentLayoutFiles)
            .toInt();
    recentLayoutFiles = store->value(QStringLiteral("/RecentLayoutFiles")).toStringList();
    const int keep = std::max(0, maxRecentLayoutFiles);
    while (recentLayoutFiles.size() > keep)
        recentLayoutFiles.removeLast();
}

void tlSettings::readGame()
{
    PreferencesGroup group(*store, QStringLiteral("/Game"));
    const int red =
        store->value(QStringLiteral("/BackgroundColor/red"), defaultBackgroundColor.red()).toInt();
    const int green =
        store->value(QStringLiteral("/BackgroundColor/green"), defaultBackgroundColor.green())
            .toInt();
    const int blue =
        store->value(QStringLiteral("/BackgroundColor/blue"), defaultBackgroundColor.blue())
            .toInt();
    // QColor refuses components outside 0..255 with a warning; a hand-edited store should
    // still give a usable colour.
    backgroundColor = QColor(qBound(0, red, 255), qBound(0, green, 255), qBound(0, blue, 255), 255);
    viewTileCoordinates =
        store->value(QStringLiteral("/ViewTileCoordinates"), defaultViewTileCoordinates).toBool();
    layoutName = store->value(QStringLiteral("/LayoutName"), defaultLayoutName).toString();
    tileStyle = store->value(QStringLiteral("/TileStyle"), defaultTileStyle).toInt();
    boardFrameWidth =
        store->value(QStringLiteral("/BoardFrameWidth"), defaultBoardFrameWidth).toInt();
    winnableGameMode =
        store->value(QStringLiteral("/WinnableGameMode"), defaultWinnableGameMode).toBool();
    startWithLastGamePlayedAtLaunch =
        store->value(QStringLiteral("/StartWithLastGamePlayedAtLaunch"),
                     defaultStartWithLastGamePlayedAtLaunch).toBool();
    tileHeight = store->value(QStringLiteral("/TileHeight"), defaultTileHeight).toInt();
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
        store->value(QStringLiteral("/ThumbnailHeight"), defaultThumbnailHeight).toInt();
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

void tlSettings::writeSettings()
{
    store->beginGroup(QStringLiteral("/Tilvane"));
    store->setValue(QStringLiteral("/Version"), storeVersion);
    writeGeneral();
    writeLayoutDesigner();
    writeGame();
    writeUserLayouts();
    tlHighscoreList::instance()->writeHighscores(*store);
    store->endGroup();
    // Destroying the store commits it; a fresh one on the same place takes later saves.
    store.reset();
    openStore();
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
