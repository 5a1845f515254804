#include "tleTile.h"
#include "tleTileKinds.h"
#include "tlTestEnvironment.h"

#include <QCoreApplication>

class TileKindsTest : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void missingPartnerNeverMatches();
    void bonusNamesExplainMatching();
};

void TileKindsTest::matching_data()
{
    QTest::addColumn<uint>("p");
    QTest::addColumn<uint>("q");
    QTest::addColumn<bool>("match");
    QTest::newRow("same regular kind") << 5u << 5u << true;
    QTest::newRow("neighbouring ids") << 5u << 6u << false;
    QTest::newRow("spring and winter") << 34u << 37u << true;
    QTest::newRow("summer and fall") << 35u << 36u << true;
    QTest::newRow("spring and flower 1") << 34u << 38u << false;
    QTest::newRow("flower 4 and flower 1") << 41u << 38u << true;
    QTest::newRow("white dragon and spring") << 33u << 34u << false;
    QTest::newRow("white dragon twice") << 33u << 33u << true;
    QTest::newRow("id past the set is no flower") << 42u << 41u << false;
    QTest::newRow("huge id is no season") << 0xFFFFFFFFu << 34u << false;
}

void TileKindsTest::matching()
{
    QFETCH(uint, p);
    QFETCH(uint, q);
    QFETCH(bool, match);
    tleTile a, b;
    a.type = p;
    b.type = q;
    QCOMPARE(tilesMatch(&a, &b), match);
    QCOMPARE(tilesMatch(&b, &a), match);
}

void TileKindsTest::missingPartnerNeverMatches()
{
    tleTile a;
    QVERIFY(!tilesMatch(&a, nullptr));
    QVERIFY(!tilesMatch(nullptr, &a));
}

void TileKindsTest::bonusNamesExplainMatching()
{
    for (int id = 0; id < tle::kindCount; ++id) {
        const QString plain = QString::fromLatin1(tle::plainKindNames[id]);
        const QString descriptive = QString::fromLatin1(tle::descriptiveKindNames[id]);
        if (id < int(tle::firstSeason))
            QCOMPARE(descriptive, plain);
        else
            QVERIFY2(descriptive.startsWith(plain + QStringLiteral(" (matches any other ")),
                     qPrintable(descriptive));
    }
    QCOMPARE(QString::fromLatin1(tle::plainKindNames[29]), QStringLiteral("East Wind"));
    QCOMPARE(QString::fromLatin1(tle::plainKindNames[31]), QStringLiteral("Green Dragon"));
    QCOMPARE(QString::fromLatin1(tle::descriptiveKindNames[36]),
             QStringLiteral("Fall (matches any other season)"));
}

TILVANE_TEST_MAIN(TileKindsTest, QCoreApplication)
#include "tst_tilekinds.moc"
