#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestGames.h"
#include "tleGameEngine.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

const QString damagedIndent(23, QLatin1Char(' '));

QString turtle()
{
    return tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0);
}

uint32_t turtleChecksum()
{
    tlLayoutHandler layout;
    layout.open(turtle());
    return layout.checksum();
}

// A game in progress: a seeded deal with one pair played. A file that cannot be
// opened must leave all of it as it was.
struct RunningGame
{
    RunningGame()
    {
        engine.seed(7);
        engine.init(turtle());
        engine.shuffleTiles();
        tleTilePairList pairs;
        engine.board()->possiblePairs(pairs);
        engine.removePair(pairs.front().first, pairs.front().second);
        kinds = kindsOf(engine);
        history = engine.history();
        pairCount = engine.board()->pairCount();
    }

    void verifyUntouched() const
    {
        QCOMPARE(kindsOf(engine), kinds);
        QCOMPARE(engine.history(), history);
        QCOMPARE(engine.tilesLeft(), 142);
        QCOMPARE(engine.board()->pairCount(), pairCount);
        tleTilePairList pairs;
        QCOMPARE(engine.board()->possiblePairs(pairs), pairCount);
        QCOMPARE(engine.board()->layout()->name(), QStringLiteral("Turtle"));
    }

    tleGameEngine engine;
    std::vector<uint32_t> kinds;
    tleTilePairList history;
    unsigned pairCount = 0;
};

}

class GameFileTest : public QObject
{
    Q_OBJECT

private slots:
    void savesTheDocumentedFormat();
    void openReproducesTheDeal();
    void peekReadsOnlyTheLayout();
    void checksumMismatchIsRefused();
    void minimalFilesOpen();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void unwritablePathIsReported();

private:
    QString write(const QString &name, const QByteArray &content);
    QByteArray savedTurtle();
    QTemporaryDir dir;
};

QString GameFileTest::write(const QString &name, const QByteArray &content)
{
    return writeTestFile(QDir(dir.path()), name, content);
}

QByteArray GameFileTest::savedTurtle()
{
    tleGameEngine engine;
    const QString path = dir.filePath(QStringLiteral("turtle.tlgf"));
    if (!engine.init(turtle()) || !engine.save(path))
        qFatal("cannot save a Turtle game");
    return readTestFile(path);
}

void GameFileTest::savesTheDocumentedFormat()
{
    tleGameEngine engine;
    engine.seed(1);
    QVERIFY(engine.init(turtle()));
    engine.shuffleTiles();
    const QString path = dir.filePath(QStringLiteral("format.tlgf"));
    QVERIFY(engine.save(path));
    const QStringList lines = QString::fromUtf8(readTestFile(path)).split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QVERIFY2(QRegularExpression(QStringLiteral("^<game date=\"[^\"]+\" version=\"2\\.2\\.4\">$"))
                 .match(lines[1]).hasMatch(), qPrintable(lines[1]));
    QCOMPARE(lines[2], QStringLiteral("    <layout name=\"Turtle\" cs=\"%1\"/>").arg(turtleChecksum()));
    const tleTile *first = engine.tiles().front();
    QCOMPARE(lines[3], QStringLiteral("    <tile layer=\"0\" x=\"%1\" y=\"%2\" type=\"%3\"/>")
                           .arg(first->x).arg(first->y).arg(first->type));
    QCOMPARE(lines[3 + 144], QStringLiteral("</game>"));
}

void GameFileTest::openReproducesTheDeal()
{
    tleGameEngine engine;
    engine.seed(2);
    QVERIFY(engine.init(turtle()));
    engine.shuffleTiles();
    tleTilePairList pairs;
    engine.board()->possiblePairs(pairs);
    engine.removePair(pairs[0].first, pairs[0].second);
    const QString path = dir.filePath(QStringLiteral("round.tlgf"));
    QVERIFY(engine.save(path));

    tleGameEngine reopened;
    QVERIFY(reopened.open(path, turtle()));
    QCOMPARE(reopened.tilesLeft(), 144);
    QVERIFY(reopened.history().empty());
    for (size_t i = 0; i < engine.tiles().size(); ++i) {
        const tleTile *saved = engine.tiles()[i];
        const tleTile *loaded = reopened.board()->tileAt(saved->layer, saved->x, saved->y);
        QVERIFY(loaded);
        QCOMPARE(loaded->type, saved->type);
    }
    // The opened deal plays: its pairs are those of the saved deal on a full board.
    engine.resetGame();
    tleTilePairList before, after;
    QCOMPARE(reopened.board()->possiblePairs(after), engine.board()->possiblePairs(before));
}

void GameFileTest::peekReadsOnlyTheLayout()
{
    tleGameEngine engine;
    QVERIFY(engine.init(turtle()));
    const QString path = dir.filePath(QStringLiteral("peek.tlgf"));
    QVERIFY(engine.save(path));
    QString name;
    uint32_t checksum = 0;
    tleGameEngine other;
    QVERIFY(other.peek(path, name, checksum));
    QCOMPARE(name, QStringLiteral("Turtle"));
    QCOMPARE(checksum, turtleChecksum());
    QVERIFY(!other.board());  // the peeking engine's own game is untouched

    QVERIFY(!other.peek(write(QStringLiteral("nocs.tlgf"), "<game><layout name=\"Turtle\"/></game>"), name, checksum));
    QCOMPARE(checksum, 0u);
    QVERIFY(!other.peek(write(QStringLiteral("noname.tlgf"), "<game><layout cs=\"5\"/></game>"), name, checksum));
    QVERIFY(other.peek(write(QStringLiteral("nogame.tlgf"), "<layout name=\"X\" cs=\"5\"/>"), name, checksum));
    tlStdoutCapture capture;
    QVERIFY(!other.peek(dir.filePath(QStringLiteral("absent.tlgf")), name, checksum));
    QCOMPARE(capture.text(), QStringLiteral("tleGameEngine::peek(): failed to open file '%1'.\n")
                                 .arg(dir.filePath(QStringLiteral("absent.tlgf"))));
}

void GameFileTest::checksumMismatchIsRefused()
{
    const uint32_t good = turtleChecksum();
    const QString path = write(QStringLiteral("wrongcs.tlgf"),
                               QStringLiteral("<game><layout name=\"Turtle\" cs=\"%1\"/></game>").arg(good + 1).toUtf8());
    RunningGame game;
    tlStdoutCapture capture;
    QVERIFY(!game.engine.open(path, turtle()));
    QCOMPARE(capture.text(), QStringLiteral("tleGameEngine::open(): checksums of layout (%1) and game file (%2) do not match.\n")
                                 .arg(good).arg(good + 1));
    game.verifyUntouched();
}

void GameFileTest::minimalFilesOpen()
{
    // No tiles: the default kinds stay. A tile before the game element is ignored.
    const QString path = write(QStringLiteral("minimal.tlgf"),
        QStringLiteral("<root><tile layer=\"0\" x=\"0\" y=\"0\" type=\"41\"/><game><layout cs=\"%1\"/></game></root>")
            .arg(turtleChecksum()).toUtf8());
    tleGameEngine engine;
    QVERIFY(engine.open(path, turtle()));
    QCOMPARE(engine.tiles()[0]->type, 0u);
    QCOMPARE(engine.tiles()[143]->type, 41u);
}

void GameFileTest::damagedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray head = QStringLiteral("<game><layout cs=\"%1\"/>").arg(turtleChecksum()).toUtf8();
    const auto tile = [&head](const char *attributes) {
        return head + "<tile " + attributes + "/></game>";
    };
    // The top tile of the layout; a fresh board gives it the last kind.
    const QByteArray top = "layer=\"4\" x=\"13\" y=\"7\"";
    QTest::newRow("no game element") << QByteArray("<layout/>") << QString();
    QTest::newRow("malformed") << head + "<tile layer=\"0\"" << QString();
    QTest::newRow("layer off the board") << tile("layer=\"7\" x=\"0\" y=\"0\" type=\"1\"")
                                         << QStringLiteral("No tile lies at layer 7, x 0, y 0.");
    QTest::newRow("negative x") << tile("layer=\"0\" x=\"-2\" y=\"0\" type=\"1\"")
                                << QStringLiteral("No tile lies at layer 0, x -2, y 0.");
    QTest::newRow("empty cell") << tile("layer=\"0\" x=\"1\" y=\"1\" type=\"1\"")
                                << QStringLiteral("No tile lies at layer 0, x 1, y 1.");
    QTest::newRow("no coordinates") << tile("type=\"1\"") << QStringLiteral("A tile lacks its layer, x or y.");
    for (const char *type : {"42", "-1", "1234567890123", "+5", " 5", "", "%2"}) {
        QTest::newRow(qPrintable(QStringLiteral("kind '%1'").arg(QLatin1String(type))))
            << tile(top + " type=\"" + type + "\"")
            << QStringLiteral("Tile type %1 is out of range.").arg(QLatin1String(type));
    }
    QTest::newRow("cell named twice") << head + "<tile " + top + " type=\"41\"/><tile " + top + " type=\"41\"/></game>"
                                      << QStringLiteral("The tile at layer 4, x 13, y 7 is named twice.");
    QTest::newRow("five of a kind") << tile(top + " type=\"0\"")
                                    << QStringLiteral("The tiles are not a whole tile set.");
    const QString oneKind = QString::fromUtf8(savedTurtle())
        .replace(QRegularExpression(QStringLiteral("type=\"\\d+\"")), QStringLiteral("type=\"0\""));
    QTest::newRow("one kind everywhere") << oneKind.toUtf8() << QStringLiteral("The tiles are not a whole tile set.");
    QTest::newRow("huge file") << head + QByteArray(int(tleGameEngine::maxGameFileBytes), ' ') + "</game>"
                               << QStringLiteral("The file is too large for a game.");
}

void GameFileTest::damagedFilesAreRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = write(QStringLiteral("damaged.tlgf"), content);
    RunningGame game;
    tlStdoutCapture capture;
    QVERIFY(!game.engine.open(path, turtle()));
    const QString output = capture.text();
    QVERIFY2(output.startsWith(QStringLiteral("tleGameEngine::open(): Errors while reading file '%1'. \n")
                                   .arg(path)
                               + damagedIndent + QStringLiteral("Game file might be damaged.\n")
                               + damagedIndent + QStringLiteral("XML: ") + reason),
             qPrintable(output));
    QVERIFY(output.contains(QStringLiteral(" See line ")));
    game.verifyUntouched();
}

void GameFileTest::unwritablePathIsReported()
{
    tleGameEngine engine;
    QVERIFY(engine.init(turtle()));
    const QString target = dir.filePath(QStringLiteral("no/such/folder/game.tlgf"));
    tlStdoutCapture capture;
    QVERIFY(!engine.save(target));
    QCOMPARE(capture.text(), QStringLiteral("tleGameEngine::save(): couldn't open file '%1'.\n").arg(target));

    // A good game stays intact when it cannot be replaced.
    const QString good = dir.filePath(QStringLiteral("keep.tlgf"));
    QVERIFY(engine.save(good));
    const QByteArray before = readTestFile(good);
    tleGameEngine empty;
    QVERIFY(!empty.save(good));
    QCOMPARE(readTestFile(good), before);
}

TILVANE_TEST_MAIN(GameFileTest, QCoreApplication)
#include "tst_gamefile.moc"
