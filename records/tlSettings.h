#ifndef TLSETTINGS_H
#define TLSETTINGS_H

#include "tlTilePictures.h"

#include <QColor>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QSettings;

// Every persistent preference of the game and of the layout designer that shares the
// store, plus the player's own layouts. Read once at start-up, changed in memory by the
// window and the dialogs, written when the main window closes.
class tlSettings
{
public:
    static tlSettings &instance();

    // Numeric values the game cannot use load as their defaults, with a diagnostic.
    void readSettings();
    // False when the store could not be written (read-only file or folder, full disk).
    bool writeSettings();
    // Where the store lives, for telling the player which file could not be written.
    QString storeFileName() const;

    void addUserLayoutFile(const QString &name, const QString &path);
    void removeUserLayoutFile(const QString &name);
    QString userLayoutFile(const QString &name) const;
    QStringList userLayoutNames() const;
    // Lets the layout locator find the player's layouts by name from now on.
    void lendUserLayoutsToLocator() const;

    static const QStringList &builtInLayouts();
    static bool isBuiltInLayout(const QString &name);

    // Current values.
    int maxTiles = 0;
    int maxHighscoreEntries = 0;

    QString analysisReportDirectory;
    QString saveFileDirectory;
    QString openFileDirectory;
    int gridWidth = 0;
    int gridHeight = 0;
    int maxTilesHorizontal = 0;
    int maxTilesVertical = 0;
    int gridOffset = 0;
    int maxLayers = 0;
    bool autoInsertTopLayer = false;
    bool transparentBackground = false;
    int maxRecentLayoutFiles = 0;
    QStringList recentLayoutFiles;

    QColor backgroundColor;
    bool viewTileCoordinates = false;
    QString layoutName;
    tlTileStyle tileStyle = tlTileStyle::Classic;
    int boardFrameWidth = 0;
    bool winnableGameMode = false;
    bool startWithLastGamePlayedAtLaunch = false;
    int tileHeight = 0;
    bool announceNoMoreMoves = false;
    QString saveGameDirectory;
    QString solutionReportDirectory;
    bool showSelectedTileName = false;
    bool hintAlsoReportsTotalMoves = false;
    int thumbnailHeight = 0;
    bool showWinnability = false;

    // Defaults, fixed at construction.
    const int defaultMaxTiles = 144;
    const int defaultMaxHighscoreEntries = 10;

    const QString defaultAnalysisReportDirectory;
    const QString defaultSaveFileDirectory;
    const QString defaultOpenFileDirectory;
    const int defaultGridWidth = 42;
    const int defaultGridHeight = 52;
    const int defaultMaxTilesHorizontal = 24;
    const int defaultMaxTilesVertical = 15;
    const int defaultGridOffset = 15;
    const int defaultMaxLayers = 8;
    const bool defaultAutoInsertTopLayer = true;
    const bool defaultTransparentBackground = false;
    const int defaultMaxRecentLayoutFiles = 10;
    const QStringList defaultRecentLayoutFiles;

    const QColor defaultBackgroundColor;
    const bool defaultViewTileCoordinates = false;
    const QString defaultLayoutName;
    const tlTileStyle defaultTileStyle = tlTileStyle::Classic;
    const int defaultBoardFrameWidth = 40;
    const bool defaultWinnableGameMode = false;
    const bool defaultStartWithLastGamePlayedAtLaunch = false;
    const int defaultTileHeight = 70;
    const bool defaultAnnounceNoMoreMoves = true;
    const QString defaultSaveGameDirectory;
    const QString defaultSolutionReportDirectory;
    const bool defaultShowSelectedTileName = true;
    const bool defaultHintAlsoReportsTotalMoves = true;
    const int defaultThumbnailHeight = 30;
    const bool defaultShowWinnability = false;

    // The numbers the game and the designer can use; the store refuses others, and the
    // preferences dialog offers no others.
    struct Range
    {
        int lowest;
        int highest;
    };
    static constexpr Range boardFrameWidthRange{0, 100};
    static constexpr Range gridWidthRange{20, 80};
    static constexpr Range gridHeightRange{20, 100};
    static constexpr Range gridOffsetRange{0, 50};
    static constexpr Range tilesAcrossRange{5, 50};

private:
    tlSettings();
    ~tlSettings();
    tlSettings(const tlSettings &) = delete;
    tlSettings &operator=(const tlSettings &) = delete;

    void openStore();
    QVector<QPair<QString, QString>> storedUserLayouts();
    void readUserLayouts();
    void adoptUserLayoutsAddedElsewhere();
    void writeUserLayouts();

    std::unique_ptr<QSettings> store;
    QVector<QPair<QString, QString>> userLayouts;
    QStringList userLayoutsInStore;  // the names in the store when this program last read or wrote it
};

#endif
