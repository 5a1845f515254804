#include "tldSharedSettings.h"

#include "tlHighscoreList.h"
#include "tlSettings.h"

namespace {

// What the "/Layout Designer" group holds: the designer's to keep.
struct DesignerSettings
{
    QString analysisReportDirectory, saveFileDirectory, openFileDirectory;
    int gridWidth, gridHeight, maxTilesHorizontal, maxTilesVertical, gridOffset, maxLayers;
    bool autoInsertTopLayer, transparentBackground;
    int maxRecentLayoutFiles;
    QStringList recentLayoutFiles;

    explicit DesignerSettings(const tlSettings &s)
        : analysisReportDirectory(s.analysisReportDirectory)
        , saveFileDirectory(s.saveFileDirectory)
        , openFileDirectory(s.openFileDirectory)
        , gridWidth(s.gridWidth)
        , gridHeight(s.gridHeight)
        , maxTilesHorizontal(s.maxTilesHorizontal)
        , maxTilesVertical(s.maxTilesVertical)
        , gridOffset(s.gridOffset)
        , maxLayers(s.maxLayers)
        , autoInsertTopLayer(s.autoInsertTopLayer)
        , transparentBackground(s.transparentBackground)
        , maxRecentLayoutFiles(s.maxRecentLayoutFiles)
        , recentLayoutFiles(s.recentLayoutFiles)
    {
    }

    void putBack(tlSettings &s) const
    {
        s.analysisReportDirectory = analysisReportDirectory;
        s.saveFileDirectory = saveFileDirectory;
        s.openFileDirectory = openFileDirectory;
        s.gridWidth = gridWidth;
        s.gridHeight = gridHeight;
        s.maxTilesHorizontal = maxTilesHorizontal;
        s.maxTilesVertical = maxTilesVertical;
        s.gridOffset = gridOffset;
        s.maxLayers = maxLayers;
        s.autoInsertTopLayer = autoInsertTopLayer;
        s.transparentBackground = transparentBackground;
        s.maxRecentLayoutFiles = maxRecentLayoutFiles;
        s.recentLayoutFiles = recentLayoutFiles;
    }
};

}

namespace tldSharedSettings {

bool save(const std::function<void(tlSettings &)> &change)
{
    tlSettings &settings = tlSettings::instance();
    const DesignerSettings own(settings);
    // Reading adds the stored highscores to those in memory; the lists are emptied first
    // so that a list the game has since cleared stays cleared.
    tlHighscoreList *highscores = tlHighscoreList::instance();
    for (const QString &layoutName : highscores->layoutNames())
        highscores->removeLayout(layoutName);
    settings.readSettings();
    own.putBack(settings);
    if (change)
        change(settings);
    return settings.writeSettings();
}

}
