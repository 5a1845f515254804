#include "tlHighscoreList.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <cstdlib>
#include <ctime>

Q_DECLARE_METATYPE(tlHighscoreEntry)

namespace {

const int capacity = 10;
const int64_t someStart = 1700000000;

tlHighscoreEntry entry(const QString &layout, int32_t tiles, int32_t hints, int64_t seconds,
                       int64_t start = someStart)
{
    tlHighscoreEntry e;
    e.layoutName = layout;
    e.tiles = tiles;
    e.hints = hints;
    e.startTime = start;
    e.endTime = start + seconds - 1;
    return e;
}

// Every field, so that a failing comparison shows what differs.
QString describe(const tlHighscoreEntry &e)
{
    return QStringLiteral("%1 t%2 h%3 u%4 f%5 %6-%7")
        .arg(e.layoutName).arg(e.tiles).arg(e.hints).arg(e.undos).arg(e.findMatches)
        .arg(e.startTime).arg(e.endTime);
}

QStringList describe(const QVector<tlHighscoreEntry> &entries)
{
    QStringList lines;
    for (const tlHighscoreEntry &e : entries)
        lines << describe(e);
    return lines;
}

QString storePath()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"),
                     QStringLiteral("Tilvane")).fileName();
}

const QString scoreKeys = QStringLiteral("Tilvane/Highscores/HighscoreList/");

}

class HighscoreListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void ranking_data();
    void ranking();
    void equivalentEntryIsKeptOnce();
    void fullListRefusesWorseEntries();
    void clearLayoutKeepsEmptyList();
    void removeLayoutResetsLastEntry();
    void noCapacityKeepsNothing();
    void texts();
    void writtenInLayoutOrderBestFirst();
    void loadingTrimsToStoredCapacity();
    void loadingReplacesTheListsInMemory();
    void countsAboveIntRangeLoadFromText();

private:
    tlHighscoreList *list = tlHighscoreList::instance();
};

void HighscoreListTest::initTestCase()
{
    tlSettings::instance().readSettings();
    QVERIFY(list->layoutNames().isEmpty());
}

void HighscoreListTest::init()
{
    list->setCapacity(capacity);
}

void HighscoreListTest::cleanup()
{
    for (const QString &name : list->layoutNames())
        list->removeLayout(name);
}

void HighscoreListTest::ranking_data()
{
    QTest::addColumn<tlHighscoreEntry>("better");
    QTest::addColumn<tlHighscoreEntry>("worse");
    const QString t = QStringLiteral("Turtle");

    QTest::newRow("hints before duration")
        << entry(t, 0, 0, 1200) << entry(t, 0, 1, 600);
    QTest::newRow("tiles before hints") << entry(t, 2, 9, 60) << entry(t, 4, 0, 60);
    QTest::newRow("one second shorter") << entry(t, 0, 0, 300) << entry(t, 0, 0, 301);
    QTest::newRow("equal length, earlier end")
        << entry(t, 0, 0, 300, someStart) << entry(t, 0, 0, 300, someStart + 1);
    QTest::newRow("negative tiles rank last") << entry(t, 144, 0, 60) << entry(t, -1, 0, 60);
    QTest::newRow("negative hints rank last") << entry(t, 0, 50, 60) << entry(t, 0, -3, 60);

    tlHighscoreEntry fewerUndos = entry(t, 0, 0, 900);
    tlHighscoreEntry moreUndos = entry(t, 0, 0, 10);
    fewerUndos.undos = 1;
    fewerUndos.findMatches = 7;
    moreUndos.undos = 2;
    QTest::newRow("undos before find-match uses") << fewerUndos << moreUndos;

    tlHighscoreEntry fewerMatches = entry(t, 0, 0, 900);
    tlHighscoreEntry moreMatches = entry(t, 0, 0, 10);
    moreMatches.findMatches = 1;
    QTest::newRow("find-match uses before duration") << fewerMatches << moreMatches;
}

void HighscoreListTest::ranking()
{
    QFETCH(tlHighscoreEntry, better);
    QFETCH(tlHighscoreEntry, worse);
    QVERIFY(better.ranksBefore(worse));
    QVERIFY(!worse.ranksBefore(better));

    // The list orders them the same way, whichever comes first.
    list->addEntry(worse);
    list->addEntry(better);
    QCOMPARE(describe(list->entries(better.layoutName)),
             (QStringList{describe(better), describe(worse)}));
}

void HighscoreListTest::equivalentEntryIsKeptOnce()
{
    QSignalSpy updates(list, &tlHighscoreList::updateHighscores);
    const tlHighscoreEntry game = entry(QStringLiteral("Twice"), 3, 1, 100);
    list->addEntry(game);
    list->addEntry(game);
    QCOMPARE(list->entries(game.layoutName).size(), 1);
    QCOMPARE(updates.count(), 2);
}

void HighscoreListTest::fullListRefusesWorseEntries()
{
    const QString layout = QStringLiteral("Full");
    QVERIFY(list->qualifies(entry(layout, 144, 99, 99999)));
    for (int i = 0; i < capacity; ++i)
        list->addEntry(entry(layout, 0, i, 100));
    const QStringList before = describe(list->entries(layout));
    QCOMPARE(before.size(), capacity);

    const tlHighscoreEntry worse = entry(layout, 0, capacity - 1, 101);
    QVERIFY(!list->qualifies(worse));
    QSignalSpy updates(list, &tlHighscoreList::updateHighscores);
    list->addEntry(worse);
    QCOMPARE(describe(list->entries(layout)), before);
    QCOMPARE(describe(list->lastEntry()), describe(worse));
    QCOMPARE(updates.count(), 1);

    // A better game pushes out the worst one.
    const tlHighscoreEntry better = entry(layout, 0, 0, 99);
    QVERIFY(list->qualifies(better));
    list->addEntry(better);
    const QStringList after = describe(list->entries(layout));
    QCOMPARE(after.size(), capacity);
    QCOMPARE(after.first(), describe(better));
    QCOMPARE(after.last(), before.at(capacity - 2));
    QCOMPARE(updates.count(), 2);

    // Other layouts have room of their own.
    QVERIFY(list->qualifies(entry(QStringLiteral("Other"), 144, 99, 99999)));
}

void HighscoreListTest::clearLayoutKeepsEmptyList()
{
    const QString layout = QStringLiteral("Cleared");
    for (int i = 0; i < capacity; ++i)
        list->addEntry(entry(layout, 0, 0, 10 + i));
    QSignalSpy updates(list, &tlHighscoreList::updateHighscores);
    list->clearLayout(layout);
    list->clearLayout(QStringLiteral("Unknown"));
    QVERIFY(list->hasLayout(layout));
    QVERIFY(!list->hasLayout(QStringLiteral("Unknown")));
    QVERIFY(list->entries(layout).isEmpty());
    QVERIFY(list->qualifies(entry(layout, 144, 99, 99999)));
    QCOMPARE(updates.count(), 0);
}

void HighscoreListTest::removeLayoutResetsLastEntry()
{
    const QString kept = QStringLiteral("Kept");
    const QString removed = QStringLiteral("Removed");
    list->addEntry(entry(kept, 0, 0, 50));
    list->addEntry(entry(removed, 5, 1, 70));
    QSignalSpy updates(list, &tlHighscoreList::updateHighscores);

    list->removeLayout(kept);
    QVERIFY(!list->hasLayout(kept));
    QCOMPARE(list->lastEntry().layoutName, removed);
    QCOMPARE(updates.count(), 1);

    list->removeLayout(removed);
    QVERIFY(!list->hasLayout(removed));
    QCOMPARE(describe(list->lastEntry()), describe(tlHighscoreEntry()));
    QCOMPARE(updates.count(), 2);

    // Even a layout without a list announces the change.
    list->removeLayout(QStringLiteral("Never there"));
    QCOMPARE(updates.count(), 3);
}

void HighscoreListTest::noCapacityKeepsNothing()
{
    const QString layout = QStringLiteral("Tiny");
    for (int room : {0, -4}) {
        list->setCapacity(room);
        QVERIFY(list->qualifies(entry(layout, 0, 0, 1)));
        list->addEntry(entry(layout, 0, 0, 1));
        QVERIFY(list->hasLayout(layout));
        QVERIFY(list->entries(layout).isEmpty());
        QVERIFY(!list->qualifies(entry(layout, 0, 0, 1)));
        list->removeLayout(layout);
    }
}

void HighscoreListTest::texts()
{
    const tlHighscoreEntry sameSecond = entry(QString(), 0, 0, 1);
    QCOMPARE(sameSecond.duration(), int64_t(1));
    QCOMPARE(sameSecond.timeText(), QStringLiteral("00:01"));
    QCOMPARE(entry(QString(), 0, 0, 60).timeText(), QStringLiteral("01:00"));
    QCOMPARE(entry(QString(), 0, 0, 599).timeText(), QStringLiteral("09:59"));
    QCOMPARE(entry(QString(), 0, 0, 6001).timeText(), QStringLiteral("100:01"));

    // The date is local time; pin the zone so that the text is known.
    const QByteArray zone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "UTC");
    tzset();
    const QString epoch = entry(QString(), 0, 0, 1, 0).dateText();
    const QString later = entry(QString(), 0, 0, 1, someStart).dateText();
    if (hadZone)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    tzset();
    QCOMPARE(epoch, QStringLiteral("Thu Jan  1 00:00:00 1970"));
    QCOMPARE(later, QStringLiteral("Tue Nov 14 22:13:20 2023"));
}

void HighscoreListTest::writtenInLayoutOrderBestFirst()
{
    tlHighscoreEntry odd = entry(QStringLiteral("Beta"), 0, -1, 30);
    odd.undos = 4;
    odd.findMatches = 2;
    list->addEntry(entry(QStringLiteral("Beta"), 0, 0, 40));
    list->addEntry(odd);
    list->addEntry(entry(QStringLiteral("Alpha"), 8, 0, 20));
    list->addEntry(entry(QStringLiteral("Alpha"), 2, 0, 90));
    tlSettings::instance().writeSettings();

    QSettings file(storePath(), QSettings::IniFormat);
    QCOMPARE(file.value(scoreKeys + QStringLiteral("size")).toInt(), 4);
    const auto stored = [&file](int index, const char *key) {
        return file.value(scoreKeys + QStringLiteral("%1/").arg(index) + QLatin1String(key));
    };
    QCOMPARE(stored(1, "LayoutName").toString(), QStringLiteral("Alpha"));
    QCOMPARE(stored(1, "Tiles").toUInt(), 2u);
    QCOMPARE(stored(2, "LayoutName").toString(), QStringLiteral("Alpha"));
    QCOMPARE(stored(2, "Tiles").toUInt(), 8u);
    QCOMPARE(stored(3, "LayoutName").toString(), QStringLiteral("Beta"));
    QCOMPARE(stored(3, "Hints").toUInt(), 0u);
    QCOMPARE(stored(4, "LayoutName").toString(), QStringLiteral("Beta"));
    QCOMPARE(stored(4, "Hints").toString(), QStringLiteral("4294967295"));
    QCOMPARE(stored(4, "Undos").toUInt(), 4u);
    QCOMPARE(stored(4, "FindMatches").toUInt(), 2u);
    QCOMPARE(stored(4, "StartTime").toLongLong(), odd.startTime);
    QCOMPARE(stored(4, "EndTime").toLongLong(), odd.endTime);

    // Loading gives back the same lists; the unsigned count still ranks last.
    const QStringList alpha = describe(list->entries(QStringLiteral("Alpha")));
    const QStringList beta = describe(list->entries(QStringLiteral("Beta")));
    cleanup();
    tlSettings::instance().readSettings();
    QCOMPARE(describe(list->entries(QStringLiteral("Alpha"))), alpha);
    QCOMPARE(describe(list->entries(QStringLiteral("Beta"))), beta);
}

void HighscoreListTest::loadingTrimsToStoredCapacity()
{
    const int stored = 15;
    const int storedCapacity = capacity - 4;
    {
        QSettings raw(storePath(), QSettings::IniFormat);
        raw.clear();
        raw.setValue(QStringLiteral("Tilvane/General/Preferences/MaxHighscoreEntries"), storedCapacity);
        raw.beginWriteArray(QStringLiteral("Tilvane/Highscores/HighscoreList"));
        // Stored worst first, so that loading has to sort and trim.
        for (int i = 0; i < stored; ++i) {
            raw.setArrayIndex(i);
            raw.setValue(QStringLiteral("LayoutName"), QStringLiteral("Many"));
            raw.setValue(QStringLiteral("StartTime"), uint(someStart));
            raw.setValue(QStringLiteral("EndTime"), uint(someStart + 100 + stored - i));
            raw.setValue(QStringLiteral("Tiles"), 0u);
            raw.setValue(QStringLiteral("Hints"), 0u);
            raw.setValue(QStringLiteral("Undos"), 0u);
            raw.setValue(QStringLiteral("FindMatches"), 0u);
        }
        raw.endArray();
    }
    tlSettings::instance().readSettings();
    const QVector<tlHighscoreEntry> kept = list->entries(QStringLiteral("Many"));
    QCOMPARE(kept.size(), storedCapacity);
    QCOMPARE(kept.first().endTime, someStart + 101);
    QCOMPARE(kept.last().endTime, someStart + 100 + storedCapacity);
}

void HighscoreListTest::loadingReplacesTheListsInMemory()
{
    const tlHighscoreEntry saved = entry(QStringLiteral("Saved"), 0, 0, 50);
    list->addEntry(saved);
    tlSettings::instance().writeSettings();
    list->addEntry(entry(QStringLiteral("Unsaved"), 0, 0, 60));
    list->addEntry(entry(QStringLiteral("Saved"), 1, 0, 70));

    // Loading twice gives what loading once does: the stored games, once each.
    for (int load = 0; load < 2; ++load) {
        tlSettings::instance().readSettings();
        QCOMPARE(list->layoutNames(), QVector<QString>{saved.layoutName});
        QCOMPARE(describe(list->entries(saved.layoutName)), QStringList{describe(saved)});
        QCOMPARE(describe(list->lastEntry()), describe(saved));
    }
}

void HighscoreListTest::countsAboveIntRangeLoadFromText()
{
    // A file read from disk holds text; the counts were written unsigned, so a negative
    // count comes back as a number beyond the signed range and must still rank last.
    {
        QSettings raw(storePath(), QSettings::IniFormat);
        raw.clear();
        raw.setValue(QStringLiteral("Tilvane/General/Preferences/MaxHighscoreEntries"), capacity);
        raw.beginWriteArray(QStringLiteral("Tilvane/Highscores/HighscoreList"));
        const QStringList hints = {QStringLiteral("4294967295"), QStringLiteral("3")};
        for (int i = 0; i < hints.size(); ++i) {
            raw.setArrayIndex(i);
            raw.setValue(QStringLiteral("LayoutName"), QStringLiteral("Text"));
            raw.setValue(QStringLiteral("StartTime"), QString::number(someStart));
            raw.setValue(QStringLiteral("EndTime"), QString::number(someStart + 9));
            raw.setValue(QStringLiteral("Tiles"), QStringLiteral("0"));
            raw.setValue(QStringLiteral("Hints"), hints.at(i));
            raw.setValue(QStringLiteral("Undos"), QStringLiteral("0"));
            raw.setValue(QStringLiteral("FindMatches"), QStringLiteral("0"));
        }
        raw.endArray();
    }
    tlSettings::instance().readSettings();
    const QVector<tlHighscoreEntry> loaded = list->entries(QStringLiteral("Text"));
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded.at(0).hints, 3);
    QCOMPARE(loaded.at(1).hints, -1);
}

TILVANE_TEST_MAIN(HighscoreListTest, QCoreApplication)
#include "tst_highscorelist.moc"
