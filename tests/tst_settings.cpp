#include "tlHighscoreList.h"
#include "tlSettings.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"

#include <QGuiApplication>
#include <QSettings>
#include <iterator>

namespace {

QString storePath()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"),
                     QStringLiteral("Tilvane")).fileName();
}

// The file as another program would read it, independent of the store's own handle.
QVariant storedValue(const QString &key)
{
    QSettings file(storePath(), QSettings::IniFormat);
    return file.value(key);
}

// Replaces the whole store with the given keys, as a hand-edited or foreign file would.
void replaceStore(const QVariantMap &values)
{
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"),
                  QStringLiteral("Tilvane"));
    raw.clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        raw.setValue(it.key(), it.value());
    raw.sync();
}

const QString designer = QStringLiteral("Tilvane/Layout Designer/Preferences/");
const QString game = QStringLiteral("Tilvane/Game/Preferences/");

// Every numeric key with the numbers the game can use and the value it falls back to.
struct CheckedKey
{
    const char *key;  // below Tilvane/
    int lowest;
    int highest;
    int defaultValue;
    int (*loaded)(const tlSettings &);
};

#define LOADED(member) [](const tlSettings &s) { return int(s.member); }
const CheckedKey checkedKeys[] = {
    {"General/Preferences/MaxTiles", 144, 144, 144, LOADED(maxTiles)},
    {"General/Preferences/MaxHighscoreEntries", 1, 100, 10, LOADED(maxHighscoreEntries)},
    {"Layout Designer/Preferences/GridWidth", 20, 80, 42, LOADED(gridWidth)},
    {"Layout Designer/Preferences/GridHeight", 20, 100, 52, LOADED(gridHeight)},
    {"Layout Designer/Preferences/MaxTilesHorizontal", 5, 50, 24, LOADED(maxTilesHorizontal)},
    {"Layout Designer/Preferences/MaxTilesVertical", 5, 50, 15, LOADED(maxTilesVertical)},
    {"Layout Designer/Preferences/GridOffset", 0, 50, 15, LOADED(gridOffset)},
    {"Layout Designer/Preferences/MaxLayers", 1, 64, 8, LOADED(maxLayers)},
    {"Layout Designer/Preferences/MaxRecentLayoutFiles", 0, 100, 10, LOADED(maxRecentLayoutFiles)},
    {"Game/Preferences/BackgroundColor/red", 0, 255, 0, LOADED(backgroundColor.red())},
    {"Game/Preferences/BackgroundColor/green", 0, 255, 128, LOADED(backgroundColor.green())},
    {"Game/Preferences/BackgroundColor/blue", 0, 255, 0, LOADED(backgroundColor.blue())},
    {"Game/Preferences/TileStyle", 0, 2, 0, LOADED(tileStyle)},
    {"Game/Preferences/BoardFrameWidth", 0, 100, 40, LOADED(boardFrameWidth)},
    {"Game/Preferences/TileHeight", 20, 1000, 70, LOADED(tileHeight)},
    {"Game/Preferences/ThumbnailHeight", 8, 200, 30, LOADED(thumbnailHeight)},
};
#undef LOADED

// Puts something in the way of the store for as long as it lives: a file where its
// folder belongs, or a folder where the file belongs. Permission bits would not stop
// root, which runs the tests in CI.
class StoreBlocker
{
public:
    explicit StoreBlocker(bool blockFolder)
        : blocked(blockFolder ? QFileInfo(storePath()).absolutePath() : storePath())
        , aside(blocked + QStringLiteral(".aside"))
        , folderInTheWay(!blockFolder)
    {
        QDir().mkpath(QFileInfo(blocked).absolutePath());
        QDir().rename(blocked, aside);
        blocking = folderInTheWay ? QDir().mkdir(blocked)
                                  : QFile(blocked).open(QIODevice::WriteOnly);
    }
    ~StoreBlocker() { lift(); }

    bool blocking = false;

    void lift()
    {
        if (lifted)
            return;
        lifted = true;
        if (folderInTheWay)
            QDir().rmdir(blocked);
        else
            QFile::remove(blocked);
        QDir().rename(aside, blocked);
    }

private:
    const QString blocked;
    const QString aside;
    const bool folderInTheWay;
    bool lifted = false;
};

}

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void freshStoreGivesDefaults();
    void storeLivesInUserConfigFolder();
    void writesEveryKeyWhereOthersFindIt();
    void roundTripKeepsEveryValue();
    void recentFilesAreTrimmed();
    void userLayoutsWithBuiltInNamesAreDropped();
    void layoutsRegisteredElsewhereSurviveAWrite();
    void garbageLoadsWithoutCrash();
    void numbersOutsideTheirRangeLoadAsDefault_data();
    void numbersOutsideTheirRangeLoadAsDefault();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void damagedStoreIsOverwritten();
    void builtInLayoutNames();
};

void SettingsTest::freshStoreGivesDefaults()
{
    replaceStore({});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    QCOMPARE(s.maxTiles, 144);
    QCOMPARE(s.maxHighscoreEntries, 10);
    QCOMPARE(s.analysisReportDirectory, QDir::homePath());
    QCOMPARE(s.saveFileDirectory, QDir::homePath());
    QCOMPARE(s.openFileDirectory, QDir::homePath());
    QCOMPARE(s.gridWidth, 42);
    QCOMPARE(s.gridHeight, 52);
    QCOMPARE(s.maxTilesHorizontal, 24);
    QCOMPARE(s.maxTilesVertical, 15);
    QCOMPARE(s.gridOffset, 15);
    QCOMPARE(s.maxLayers, 8);
    QCOMPARE(s.autoInsertTopLayer, true);
    QCOMPARE(s.transparentBackground, false);
    QCOMPARE(s.maxRecentLayoutFiles, 10);
    QVERIFY(s.recentLayoutFiles.isEmpty());
    QCOMPARE(s.backgroundColor, QColor(0, 128, 0));
    QCOMPARE(s.viewTileCoordinates, false);
    QCOMPARE(s.layoutName, QStringLiteral("Turtle"));
    QCOMPARE(s.tileStyle, tlTileStyle::Classic);
    QCOMPARE(s.boardFrameWidth, 40);
    QCOMPARE(s.winnableGameMode, false);
    QCOMPARE(s.startWithLastGamePlayedAtLaunch, false);
    QCOMPARE(s.tileHeight, 70);
    QCOMPARE(s.announceNoMoreMoves, true);
    QCOMPARE(s.saveGameDirectory, QDir::homePath());
    QCOMPARE(s.solutionReportDirectory, QDir::homePath());
    QCOMPARE(s.showSelectedTileName, true);
    QCOMPARE(s.hintAlsoReportsTotalMoves, true);
    QCOMPARE(s.thumbnailHeight, 30);
    QVERIFY(s.userLayoutNames().isEmpty());
}

void SettingsTest::storeLivesInUserConfigFolder()
{
    // The test environment moved the home folder, so this is never the player's file.
    QVERIFY2(storePath().startsWith(QDir::homePath()), qPrintable(storePath()));
    QVERIFY(storePath().endsWith(QStringLiteral("/vk/Tilvane.conf")));
}

void SettingsTest::writesEveryKeyWhereOthersFindIt()
{
    replaceStore({});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    s.writeSettings();

    QSettings file(storePath(), QSettings::IniFormat);
    QStringList expected = {
        QStringLiteral("Tilvane/Version"),
        QStringLiteral("Tilvane/General/Preferences/MaxTiles"),
        QStringLiteral("Tilvane/General/Preferences/MaxHighscoreEntries"),
        QStringLiteral("Tilvane/UserInput/Layouts/size"),
        QStringLiteral("Tilvane/Highscores/HighscoreList/size"),
    };
    for (const char *key : {"AnalysisReportDirectory", "SaveFileDirectory", "OpenFileDirectory",
                            "GridWidth", "GridHeight", "MaxTilesHorizontal", "MaxTilesVertical",
                            "GridOffset", "MaxLayers", "AutoInsertTopLayer",
                            "TransparentBackground", "RecentLayoutFiles", "MaxRecentLayoutFiles"})
        expected << designer + QLatin1String(key);
    for (const char *key : {"BackgroundColor/red", "BackgroundColor/green", "BackgroundColor/blue",
                            "ViewTileCoordinates", "LayoutName", "TileStyle", "BoardFrameWidth",
                            "WinnableGameMode", "StartWithLastGamePlayedAtLaunch", "TileHeight",
                            "AnnounceNoMoreMoves", "SaveGameDirectory", "SolutionReportDirectory",
                            "ShowSelectedTileName", "HintAlsoReportsTotalMoves", "ThumbnailHeight",
                            "ShowWinnability"})
        expected << game + QLatin1String(key);
    QStringList written = file.allKeys();
    written.sort();
    expected.sort();
    QCOMPARE(written, expected);
    QCOMPARE(file.value(QStringLiteral("Tilvane/Version")).toDouble(), 2.24);
    QCOMPARE(file.value(game + QStringLiteral("LayoutName")).toString(), QStringLiteral("Turtle"));
    QCOMPARE(file.value(game + QStringLiteral("BackgroundColor/green")).toInt(), 128);
    QCOMPARE(file.value(QStringLiteral("Tilvane/UserInput/Layouts/size")).toInt(), 0);
    QCOMPARE(file.value(QStringLiteral("Tilvane/Highscores/HighscoreList/size")).toInt(), 0);
}

void SettingsTest::roundTripKeepsEveryValue()
{
    replaceStore({});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    s.maxHighscoreEntries = 7;
    s.saveFileDirectory = QStringLiteral("/tmp/layouts");
    s.gridWidth = 50;
    s.transparentBackground = true;
    s.recentLayoutFiles = QStringList{QStringLiteral("/a.tllf"), QStringLiteral("/b.tllf")};
    s.backgroundColor = QColor(10, 20, 30);
    s.layoutName = QStringLiteral("Split Pyramid");
    s.tileStyle = tlTileStyle::Picasso;
    s.winnableGameMode = true;
    s.tileHeight = 55;
    s.announceNoMoreMoves = false;
    s.thumbnailHeight = 25;
    s.addUserLayoutFile(QStringLiteral("Mine"), QStringLiteral("/home/x/mine.tllf"));
    s.addUserLayoutFile(QStringLiteral("Yours"), QStringLiteral("/home/x/yours.tllf"));
    s.writeSettings();
    // Saving twice in a row, as closing and then destroying the window do, is harmless.
    s.writeSettings();

    QCOMPARE(storedValue(QStringLiteral("Tilvane/UserInput/Layouts/2/LayoutName")).toString(),
             QStringLiteral("Yours"));
    QCOMPARE(storedValue(QStringLiteral("Tilvane/UserInput/Layouts/1/LayoutPath")).toString(),
             QStringLiteral("/home/x/mine.tllf"));
    QCOMPARE(storedValue(game + QStringLiteral("BackgroundColor/blue")).toInt(), 30);

    s.maxHighscoreEntries = 0;
    s.layoutName.clear();
    s.recentLayoutFiles.clear();
    s.removeUserLayoutFile(QStringLiteral("Mine"));
    s.readSettings();
    QCOMPARE(s.maxHighscoreEntries, 7);
    QCOMPARE(s.saveFileDirectory, QStringLiteral("/tmp/layouts"));
    QCOMPARE(s.gridWidth, 50);
    QCOMPARE(s.transparentBackground, true);
    QCOMPARE(s.recentLayoutFiles, (QStringList{QStringLiteral("/a.tllf"), QStringLiteral("/b.tllf")}));
    QCOMPARE(s.backgroundColor, QColor(10, 20, 30));
    QCOMPARE(s.layoutName, QStringLiteral("Split Pyramid"));
    QCOMPARE(s.tileStyle, tlTileStyle::Picasso);
    QCOMPARE(s.winnableGameMode, true);
    QCOMPARE(s.tileHeight, 55);
    QCOMPARE(s.announceNoMoreMoves, false);
    QCOMPARE(s.thumbnailHeight, 25);
    QCOMPARE(s.userLayoutNames(), (QStringList{QStringLiteral("Mine"), QStringLiteral("Yours")}));

    // Removing a layout and saving leaves no trace of it in the file.
    s.removeUserLayoutFile(QStringLiteral("Mine"));
    s.writeSettings();
    QCOMPARE(storedValue(QStringLiteral("Tilvane/UserInput/Layouts/size")).toInt(), 1);
    QVERIFY(!storedValue(QStringLiteral("Tilvane/UserInput/Layouts/2/LayoutName")).isValid());
}

void SettingsTest::recentFilesAreTrimmed()
{
    QStringList twelve;
    for (int i = 1; i <= 12; ++i)
        twelve << QStringLiteral("/layouts/%1.tllf").arg(i);
    replaceStore({{designer + QStringLiteral("RecentLayoutFiles"), twelve},
                  {designer + QStringLiteral("MaxRecentLayoutFiles"), 10}});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    QCOMPARE(s.recentLayoutFiles, twelve.mid(0, 10));
    s.writeSettings();
    QCOMPARE(storedValue(designer + QStringLiteral("RecentLayoutFiles")).toStringList(),
             twelve.mid(0, 10));

    replaceStore({{designer + QStringLiteral("RecentLayoutFiles"), twelve},
                  {designer + QStringLiteral("MaxRecentLayoutFiles"), 0}});
    s.readSettings();
    QVERIFY(s.recentLayoutFiles.isEmpty());
}

void SettingsTest::userLayoutsWithBuiltInNamesAreDropped()
{
    const QString array = QStringLiteral("Tilvane/UserInput/Layouts/");
    replaceStore({{array + QStringLiteral("size"), 4},
                  {array + QStringLiteral("1/LayoutName"), QStringLiteral("Turtle")},
                  {array + QStringLiteral("1/LayoutPath"), QStringLiteral("/x/turtle.tllf")},
                  {array + QStringLiteral("2/LayoutName"), QStringLiteral("turtle")},
                  {array + QStringLiteral("2/LayoutPath"), QStringLiteral("/x/lower.tllf")},
                  {array + QStringLiteral("3/LayoutName"), QStringLiteral("Twin")},
                  {array + QStringLiteral("3/LayoutPath"), QStringLiteral("/x/twin1.tllf")},
                  {array + QStringLiteral("4/LayoutName"), QStringLiteral("Twin")},
                  {array + QStringLiteral("4/LayoutPath"), QStringLiteral("/x/twin2.tllf")}});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    QCOMPARE(s.userLayoutNames(),
             (QStringList{QStringLiteral("turtle"), QStringLiteral("Twin"), QStringLiteral("Twin")}));
    QCOMPARE(s.userLayoutFile(QStringLiteral("Twin")), QStringLiteral("/x/twin1.tllf"));
    QVERIFY(s.userLayoutFile(QStringLiteral("Turtle")).isEmpty());
    s.removeUserLayoutFile(QStringLiteral("Twin"));
    QCOMPARE(s.userLayoutNames(), QStringList{QStringLiteral("turtle")});

    s.writeSettings();
    QCOMPARE(storedValue(array + QStringLiteral("size")).toInt(), 1);
    QCOMPARE(storedValue(array + QStringLiteral("1/LayoutName")).toString(), QStringLiteral("turtle"));
}

void SettingsTest::layoutsRegisteredElsewhereSurviveAWrite()
{
    const QString array = QStringLiteral("Tilvane/UserInput/Layouts/");
    const auto entry = [&](int i, const char *name) {
        return QVariantMap{{array + QStringLiteral("%1/LayoutName").arg(i), QLatin1String(name)},
                           {array + QStringLiteral("%1/LayoutPath").arg(i), QStringLiteral("/x/%1.tllf").arg(QLatin1String(name))}};
    };
    QVariantMap stored = entry(1, "Gone");
    stored.insert(array + QStringLiteral("size"), 1);
    replaceStore(stored);
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    s.removeUserLayoutFile(QStringLiteral("Gone"));
    s.addUserLayoutFile(QStringLiteral("Ours"), QStringLiteral("/x/Ours.tllf"));

    // Meanwhile the designer, with the store as it was, registers a layout of its own.
    stored.insert(entry(2, "Theirs"));
    stored.insert(array + QStringLiteral("size"), 2);
    replaceStore(stored);

    QVERIFY(s.writeSettings());
    s.readSettings();
    QCOMPARE(s.userLayoutNames(), (QStringList{QStringLiteral("Ours"), QStringLiteral("Theirs")}));
    QCOMPARE(s.userLayoutFile(QStringLiteral("Theirs")), QStringLiteral("/x/Theirs.tllf"));
}

void SettingsTest::garbageLoadsWithoutCrash()
{
    const QString scores = QStringLiteral("Tilvane/Highscores/HighscoreList/");
    replaceStore({{QStringLiteral("Tilvane/General/Preferences/MaxTiles"), QStringLiteral("lots")},
                  {QStringLiteral("Tilvane/General/Preferences/MaxHighscoreEntries"), -5},
                  {game + QStringLiteral("BackgroundColor/red"), 999},
                  {game + QStringLiteral("BackgroundColor/green"), QStringLiteral("grün")},
                  {game + QStringLiteral("BackgroundColor/blue"), -40},
                  {game + QStringLiteral("TileHeight"), -70},
                  {game + QStringLiteral("WinnableGameMode"), QStringLiteral("perhaps")},
                  {designer + QStringLiteral("RecentLayoutFiles"), 17},
                  {QStringLiteral("Tilvane/UserInput/Layouts/size"), 0},
                  {scores + QStringLiteral("size"), 3},
                  {scores + QStringLiteral("1/LayoutName"), QStringLiteral("Turtle")},
                  {scores + QStringLiteral("1/Tiles"), QStringLiteral("none")},
                  {scores + QStringLiteral("2/EndTime"), -1},
                  {scores + QStringLiteral("3/Hints"), QStringLiteral("-9")}});
    tlSettings &s = tlSettings::instance();
    tlStdoutCapture capture;
    s.readSettings();
    // One line for each of the six numbers that fell back.
    QCOMPARE(capture.text().count(QLatin1Char('\n')), 6);
    QCOMPARE(s.maxTiles, 144);
    QCOMPARE(s.maxHighscoreEntries, 10);
    QCOMPARE(s.backgroundColor, QColor(0, 128, 0));
    QCOMPARE(s.tileHeight, 70);
    QVERIFY(s.userLayoutNames().isEmpty());
    QCOMPARE(tlHighscoreList::instance()->entries(QStringLiteral("Turtle")).size(), 1);
    QVERIFY(s.writeSettings());
}

void SettingsTest::numbersOutsideTheirRangeLoadAsDefault_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    for (int row = 0; row < int(std::size(checkedKeys)); ++row) {
        const CheckedKey &k = checkedKeys[row];
        const auto add = [&](const char *what, const QVariant &stored, int expected) {
            QTest::addRow("%s %s", k.key, what) << row << stored << expected;
        };
        add("lowest", k.lowest, k.lowest);
        add("highest", k.highest, k.highest);
        add("below", k.lowest - 1, k.defaultValue);
        add("above", k.highest + 1, k.defaultValue);
        add("negative", -1000, k.defaultValue);
        add("text", QStringLiteral("abc"), k.defaultValue);
    }
}

void SettingsTest::numbersOutsideTheirRangeLoadAsDefault()
{
    QFETCH(int, row);
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    const CheckedKey &k = checkedKeys[row];
    const QString key = QStringLiteral("Tilvane/") + QLatin1String(k.key);
    replaceStore({{key, stored}});
    tlSettings &s = tlSettings::instance();
    tlStdoutCapture capture;
    s.readSettings();
    const QString said = capture.text();

    QCOMPARE(k.loaded(s), expected);
    // The player can tell which setting was reset, from what, to what.
    if (stored.toString() == QString::number(expected)) {
        QVERIFY2(said.isEmpty(), qPrintable(said));
    } else {
        QCOMPARE(said.count(QLatin1Char('\n')), 1);
        QVERIFY2(said.contains(key) && said.contains(QLatin1Char('\'') + stored.toString())
                     && said.contains(QStringLiteral("using %1.").arg(expected)),
                 qPrintable(said));
    }
    // The garbage is not written back.
    QVERIFY(s.writeSettings());
    QCOMPARE(storedValue(key).toString(), QString::number(expected));
}

void SettingsTest::failedWriteIsReported_data()
{
    QTest::addColumn<bool>("blockFolder");
    QTest::newRow("file where the folder belongs") << true;
    QTest::newRow("folder where the file belongs") << false;
}

void SettingsTest::failedWriteIsReported()
{
    QFETCH(bool, blockFolder);
    replaceStore({});
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    QCOMPARE(s.storeFileName(), storePath());
    s.tileHeight = 99;

    StoreBlocker blocker(blockFolder);
    QVERIFY(blocker.blocking);
    tlStdoutCapture capture;
    // Closing the window and then destroying it both save; both must tell.
    const bool first = s.writeSettings();
    const bool second = s.writeSettings();
    const QString said = capture.text();
    QVERIFY(!first);
    QVERIFY(!second);
    QCOMPARE(said.count(storePath()), 2);

    // Once the way is clear the next save writes everything.
    blocker.lift();
    QVERIFY(s.writeSettings());
    QCOMPARE(storedValue(game + QStringLiteral("TileHeight")).toInt(), 99);
}

void SettingsTest::damagedStoreIsOverwritten()
{
    tlSettings &s = tlSettings::instance();
    s.readSettings();
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Tilvane\n");
    file.close();
    // The store complains about the file it read, yet writing it went well.
    s.tileHeight = 98;
    QVERIFY(s.writeSettings());
    QCOMPARE(storedValue(game + QStringLiteral("TileHeight")).toInt(), 98);
}

void SettingsTest::builtInLayoutNames()
{
    QCOMPARE(tlSettings::builtInLayouts().size(), 13);
    QCOMPARE(tlSettings::builtInLayouts().at(8), QStringLiteral("Corvalo"));
    QVERIFY(tlSettings::isBuiltInLayout(QStringLiteral("Split Pyramid")));
    QVERIFY(!tlSettings::isBuiltInLayout(QStringLiteral("split pyramid")));
    QVERIFY(!tlSettings::isBuiltInLayout(QStringLiteral("Turtle ")));
}

TILVANE_TEST_MAIN(SettingsTest, QGuiApplication)
#include "tst_settings.moc"
