#ifndef TLHIGHSCORELIST_H
#define TLHIGHSCORELIST_H

#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <map>
#include <set>

class QSettings;

// One finished game as the highscore lists keep it.
struct tlHighscoreEntry
{
    int64_t startTime = 0;  // seconds since the Unix epoch
    int64_t endTime = 0;
    QString layoutName;
    int32_t tiles = 0;      // tiles left; 0 for a won game
    int32_t hints = 0;
    int32_t undos = 0;
    int32_t findMatches = 0;

    // Game length in seconds; a game started and ended in one second took one.
    int64_t duration() const { return endTime - startTime + 1; }
    QString dateText() const;  // end time in the classic C library form
    QString timeText() const;  // "mm:ss" of the duration; minutes may exceed two digits

    // Ranking: fewer tiles, hints, undos, find-match uses, then a shorter game, then the
    // one that ended earlier.
    bool ranksBefore(const tlHighscoreEntry &other) const;
};

// The ranked list of best games of every layout, kept in the settings store.
class tlHighscoreList : public QObject
{
    Q_OBJECT

public:
    static tlHighscoreList *instance();

    bool qualifies(const tlHighscoreEntry &entry) const;
    void addEntry(const tlHighscoreEntry &entry);
    QVector<tlHighscoreEntry> entries(const QString &layoutName) const;
    QVector<QString> layoutNames() const;
    bool hasLayout(const QString &layoutName) const;
    void clearLayout(const QString &layoutName);
    void removeLayout(const QString &layoutName);
    tlHighscoreEntry lastEntry() const { return last; }

    // Entries kept per layout; a negative count keeps none. Lists already longer shrink
    // when their layout gets its next entry.
    void setCapacity(int entries);

    // Called by the settings store inside its load and save, with its root group open.
    // Loading replaces the lists in memory.
    void readHighscores(QSettings &store);
    void writeHighscores(QSettings &store) const;

signals:
    void updateHighscores();

private:
    tlHighscoreList() = default;

    struct Ranking
    {
        bool operator()(const tlHighscoreEntry &a, const tlHighscoreEntry &b) const
        {
            return a.ranksBefore(b);
        }
    };
    using RankedEntries = std::set<tlHighscoreEntry, Ranking>;

    std::map<QString, RankedEntries> lists;
    int capacity = 0;  // none until the settings store tells
    tlHighscoreEntry last;
};

#endif
