#include "tlHighscoreList.h"

#include <QSettings>
#include <algorithm>
#include <ctime>
#include <tuple>

QString tlHighscoreEntry::dateText() const
{
    const time_t when = time_t(endTime);
    const char *text = std::ctime(&when);
    QString date = text ? QString::fromLatin1(text) : QString();
    date.remove(QLatin1Char('\n'));
    return date;
}

QString tlHighscoreEntry::timeText() const
{
    const long long seconds = duration();
    return QString::asprintf("%02lld:%02lld", seconds / 60, seconds % 60);
}

bool tlHighscoreEntry::ranksBefore(const tlHighscoreEntry &other) const
{
    const auto key = [](const tlHighscoreEntry &e) {
        return std::make_tuple(uint32_t(e.tiles), uint32_t(e.hints), uint32_t(e.undos),
                               uint32_t(e.findMatches), e.duration(), e.endTime);
    };
    return key(*this) < key(other);
}

tlHighscoreList *tlHighscoreList::instance()
{
    // Lives as long as the process; the settings store saves it at the very end.
    static tlHighscoreList *list = new tlHighscoreList;
    return list;
}

void tlHighscoreList::setCapacity(int entries)
{
    // A negative count means no room, not an endless trim.
    capacity = std::max(0, entries);
}

bool tlHighscoreList::qualifies(const tlHighscoreEntry &entry) const
{
    const auto found = lists.find(entry.layoutName);
    if (found == lists.end())
        return true;
    const RankedEntries &ranked = found->second;
    if (int(ranked.size()) < capacity)
        return true;
    return !ranked.empty() && entry.ranksBefore(*ranked.rbegin());
}

void tlHighscoreList::addEntry(const tlHighscoreEntry &entry)
{
    last = entry;
    RankedEntries &ranked = lists[entry.layoutName];
    ranked.insert(entry);
    while (int(ranked.size()) > capacity)
        ranked.erase(std::prev(ranked.end()));
    emit updateHighscores();
}

QVector<tlHighscoreEntry> tlHighscoreList::entries(const QString &layoutName) const
{
    QVector<tlHighscoreEntry> result;
    const auto found = lists.find(layoutName);
    if (found != lists.end()) {
        for (const tlHighscoreEntry &entry : found->second)
            result.append(entry);
    }
    return result;
}

QVector<QString> tlHighscoreList::layoutNames() const
{
    QVector<QString> names;
    for (const auto &list : lists)
        names.append(list.first);
    return names;
}

bool tlHighscoreList::hasLayout(const QString &layoutName) const
{
    return lists.count(layoutName) > 0;
}

void tlHighscoreList::clearLayout(const QString &layoutName)
{
    const auto found = lists.find(layoutName);
    if (found != lists.end())
        found->second.clear();
}

void tlHighscoreList::removeLayout(const QString &layoutName)
{
    lists.erase(layoutName);
    if (last.layoutName == layoutName)
        last = tlHighscoreEntry();
    emit updateHighscores();
}

void tlHighscoreList::readHighscores(QSettings &store)
{
    lists.clear();
    last = tlHighscoreEntry();
    store.beginGroup(QStringLiteral("/Highscores"));
    const int count = store.beginReadArray(QStringLiteral("HighscoreList"));
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        tlHighscoreEntry entry;
        entry.layoutName = store.value(QStringLiteral("LayoutName")).toString();
        entry.startTime = store.value(QStringLiteral("StartTime")).toUInt();
        entry.endTime = store.value(QStringLiteral("EndTime")).toUInt();
        entry.tiles = store.value(QStringLiteral("Tiles")).toInt();
        entry.hints = store.value(QStringLiteral("Hints")).toInt();
        entry.undos = store.value(QStringLiteral("Undos")).toInt();
        entry.findMatches = store.value(QStringLiteral("FindMatches")).toInt();
        addEntry(entry);
    }
    store.endArray();
    store.endGroup();
}

void tlHighscoreList::writeHighscores(QSettings &store) const
{
    store.beginGroup(QStringLiteral("/Highscores"));
    // Entries beyond the new size would otherwise linger in the file after a clear.
    store.remove(QStringLiteral("HighscoreList"));
    store.beginWriteArray(QStringLiteral("HighscoreList"));
    int index = 0;
    for (const auto &list : lists) {
        for (const tlHighscoreEntry &entry : list.second) {
            store.setArrayIndex(index++);
            store.setValue(QStringLiteral("LayoutName"), entry.layoutName);
            store.setValue(QStringLiteral("StartTime"), uint(entry.startTime));
            store.setValue(QStringLiteral("EndTime"), uint(entry.endTime));
            store.setValue(QStringLiteral("Tiles"), uint(entry.tiles));
            store.setValue(QStringLiteral("Hints"), uint(entry.hints));
            store.setValue(QStringLiteral("Undos"), uint(entry.undos));
            store.setValue(QStringLiteral("FindMatches"), uint(entry.findMatches));
        }
    }
    store.endArray();
    store.endGroup();
}
