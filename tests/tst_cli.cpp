#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlVersion.h"
#include "tleTileKinds.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>

namespace {

const int processTimeoutMs = 60000;
const int pairsInASolution = 72;
const int tilesInASet = tle::setSize;

// The words of a command line written as one string; paths go in separately, as they
// may hold spaces.
QStringList words(const char *line)
{
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

QString contentOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// The tile elements of a game file, one a line as the engine writes them.
QStringList tilesOfGame(const QString &path)
{
    return contentOf(path).split(QLatin1Char('\n')).filter(QStringLiteral("<tile "));
}

QString attributeOf(const QString &path, const QString &attribute)
{
    const QRegularExpression pattern(attribute + QStringLiteral("=\"([^\"]*)\""));
    return pattern.match(contentOf(path)).captured(1);
}

}

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void helpListsCommandsAndExitCodes();
    void checkReportsEveryBuiltInLayout_data();
    void checkReportsEveryBuiltInLayout();
    void checkFindsLayoutsByName();
    void checkRefusesBadLayouts_data();
    void checkRefusesBadLayouts();
    void dealIsRepeatable_data();
    void dealIsRepeatable();
    void solveReportsAllPairs();
    void solveWithoutSuccessExitsThree();
    void analyzeAnswersWithExitCodes_data();
    void analyzeAnswersWithExitCodes();
    void surveyCountsTheDealsOfDeal();
    void badArgumentsAreRefused_data();
    void badArgumentsAreRefused();

private:
    CliResult run(const QStringList &arguments);
    QString write(const QString &name, const QByteArray &content);
    QString deal(const char *seed, bool winnable, const char *name);
    QTemporaryDir home;
};

// Runs the real executable in the temporary home, never in the player's.
CliResult CliTest::run(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home.path());
    process.start(QStringLiteral(TILVANE_CLI), arguments);
    CliResult result;
    if (!process.waitForFinished(processTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QString CliTest::write(const QString &name, const QByteArray &content)
{
    return writeTestFile(QDir(home.path()), name, content);
}

QString CliTest::deal(const char *seed, bool winnable, const char *name)
{
    QStringList arguments = words("deal Turtle --seed");
    arguments << QLatin1String(seed) << QStringLiteral("-o") << QLatin1String(name);
    if (winnable)
        arguments << QStringLiteral("--winnable");
    const CliResult result = run(arguments);
    if (result.exitCode != 0)
        qWarning("deal failed: %s", qPrintable(result.err));
    return result.exitCode == 0 ? home.filePath(QLatin1String(name)) : QString();
}

void CliTest::helpListsCommandsAndExitCodes()
{
    const CliResult help = run(words("--help"));
    QCOMPARE(help.exitCode, 0);
    for (const char *command : {"check LAYOUT", "deal LAYOUT", "solve GAME", "analyze GAME", "survey LAYOUT"})
        QVERIFY2(help.out.contains(QLatin1String(command)), command);
    QVERIFY(help.out.contains(QStringLiteral("3 solve found no solution")));
    QVERIFY(help.out.contains(QStringLiteral("4 analyze reached its limit")));

    const CliResult version = run(words("--version"));
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("tilvane-cli %1\n").arg(QLatin1String(tl::version)));

    const CliResult dealHelp = run(words("deal --help"));
    QCOMPARE(dealHelp.exitCode, 0);
    QVERIFY(dealHelp.out.contains(QStringLiteral("--winnable")));
}

void CliTest::checkReportsEveryBuiltInLayout_data()
{
    QTest::addColumn<QString>("path");
    const QDir layouts(QStringLiteral(TILVANE_LAYOUTS_DIR));
    const QStringList entries = layouts.entryList({QStringLiteral("*.tllf")}, QDir::Files);
    QVERIFY(!entries.isEmpty());
    for (const QString &entry : entries)
        QTest::newRow(qPrintable(entry)) << layouts.filePath(entry);
}

void CliTest::checkReportsEveryBuiltInLayout()
{
    QFETCH(QString, path);
    const CliResult result = run(words("check") << path);
    QVERIFY2(result.exitCode == 0, qPrintable(result.out + result.err));
    const QStringList lines = result.out.split(QLatin1Char('\n'));
    const QStringList expected = {
        QStringLiteral("tiles: 144"),
        QStringLiteral("verified: yes"),
        QStringLiteral("can build: yes"),
        QStringLiteral("name: ") + attributeOf(path, QStringLiteral("name")),
        // The designer stores the sum it computed: ours must agree.
        QStringLiteral("checksum: ") + attributeOf(path, QStringLiteral("cs")),
    };
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line), qPrintable(line + QStringLiteral(" in\n") + result.out));
    QVERIFY(result.err.isEmpty());
}

void CliTest::checkFindsLayoutsByName()
{
    const QString turtle = QStringLiteral(TILVANE_LAYOUTS_DIR "/Turtle.tllf");
    const CliResult builtIn = run(words("check Turtle"));
    QCOMPARE(builtIn.exitCode, 0);
    QVERIFY(builtIn.out.contains(QStringLiteral("size: 15 x 8 tiles\n")));
    QVERIFY(builtIn.out.startsWith(QStringLiteral("file: ")));

    // A layout the player registered in the game's settings is found by its name.
    const QString own = home.filePath(QStringLiteral("own.tllf"));
    QVERIFY(QFile::copy(turtle, own));
    {
        QSettings store(home.filePath(QStringLiteral("config/vk/Tilvane.conf")),
                        QSettings::IniFormat);
        store.beginGroup(QStringLiteral("/Tilvane/UserInput"));
        store.beginWriteArray(QStringLiteral("Layouts"));
        store.setArrayIndex(0);
        store.setValue(QStringLiteral("LayoutName"), QStringLiteral("My Own"));
        store.setValue(QStringLiteral("LayoutPath"), own);
        store.endArray();
    }
    const CliResult registered = run(words("check") << QStringLiteral("My Own"));
    QVERIFY2(registered.exitCode == 0, qPrintable(registered.err));
    QVERIFY(registered.out.startsWith(QStringLiteral("file: %1\n").arg(own)));
}

void CliTest::checkRefusesBadLayouts_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    const QByteArray twoTiles =
        "<layout tiles=\"2\" name=\"Two\" lx=\"0\" ux=\"2\" ly=\"0\" uy=\"0\" verified=\"1\">"
        "<tile layer=\"1\" x=\"0\" y=\"0\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>";
    QTest::newRow("not XML") << QByteArray("<layout tiles=\"1\"")
                             << QStringLiteral("is not a readable layout file");
    QTest::newRow("too few tiles") << twoTiles
                                   << QStringLiteral("the layout has 2 tiles; a board needs 144");
    QByteArray unverified = twoTiles;
    unverified.replace("verified=\"1\"", "verified=\"0\"");
    QTest::newRow("unverified") << unverified << QStringLiteral("not marked as verified");
}

void CliTest::checkRefusesBadLayouts()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = write(QStringLiteral("bad.tllf"), content);
    const CliResult result = run(words("check") << path);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.endsWith(QStringLiteral("can build: no\n")));
    QVERIFY2(result.err.startsWith(QStringLiteral("tilvane-cli: ")) && result.err.contains(message),
             qPrintable(result.err));
}

void CliTest::dealIsRepeatable_data()
{
    QTest::addColumn<bool>("winnable");
    QTest::newRow("shuffled") << false;
    QTest::newRow("winnable") << true;
}

void CliTest::dealIsRepeatable()
{
    QFETCH(bool, winnable);
    const QStringList first = tilesOfGame(deal("42", winnable, "a.tlgf"));
    const QStringList again = tilesOfGame(deal("42", winnable, "b.tlgf"));
    const QStringList other = tilesOfGame(deal("43", winnable, "c.tlgf"));
    QCOMPARE(first.size(), tilesInASet);
    QCOMPARE(again, first);
    QCOMPARE(other.size(), tilesInASet);
    QVERIFY(other != first);

    // Whatever the order, a deal holds the whole set: every regular kind four times,
    // every bonus tile once.
    const QRegularExpression type(QStringLiteral("type=\"(\\d+)\""));
    QMap<uint32_t, int> copies;
    for (const QString &tile : first)
        ++copies[type.match(tile).captured(1).toUInt()];
    for (uint32_t kind = 0; kind < uint32_t(tle::kindCount); ++kind)
        QCOMPARE(copies.value(kind), kind < tle::regularKindCount ? tle::copiesOfRegularKind : 1);
}

void CliTest::solveReportsAllPairs()
{
    // Random play clears this winnable deal within a few plays.
    const QString game = deal("4", true, "winnable.tlgf");
    const CliResult result = run(words("solve") << game << words("--iterations 10000 --seed 1"));
    QVERIFY2(result.exitCode == 0, qPrintable(result.out + result.err));
    QVERIFY(result.out.startsWith(QStringLiteral("Solved after ")));

    const QRegularExpression numbered(QStringLiteral("^\\s?(\\d+)\\.\\s"),
                                      QRegularExpression::MultilineOption);
    QList<int> numbers;
    for (auto match = numbered.globalMatch(result.out); match.hasNext();)
        numbers << match.next().captured(1).toInt();
    QCOMPARE(numbers.size(), pairsInASolution);
    for (int i = 0; i < pairsInASolution; ++i)
        QCOMPARE(numbers.at(i), i + 1);

    // Every tile is removed exactly once.
    const QRegularExpression place(QStringLiteral("layer=\\d+, x=\\d+, y=\\d+"));
    QSet<QString> places;
    for (auto match = place.globalMatch(result.out); match.hasNext();)
        places.insert(match.next().captured(0));
    QCOMPARE(places.size(), tilesInASet);
}

void CliTest::solveWithoutSuccessExitsThree()
{
    // One random play does not clear this deal; the same seeds give the same play.
    const QString game = deal("3", false, "shuffled.tlgf");
    const QStringList arguments = words("solve") << game << words("--iterations 1 --seed 1");
    const CliResult result = run(arguments);
    QCOMPARE(result.exitCode, 3);
    const QRegularExpression line(
        QStringLiteral("^No solution found after 1 iterations\\. (\\d+) tiles left\\.$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(result.out);
    QVERIFY2(match.hasMatch(), qPrintable(result.out));
    const int left = match.captured(1).toInt();
    QVERIFY(left > 0 && left <= tilesInASet && left % 2 == 0);
    QCOMPARE(run(arguments).out, result.out);
}

void CliTest::analyzeAnswersWithExitCodes_data()
{
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answer");
    // Turtle deals: one winnable, one lost at first sight, one that needs a search,
    // which a limit of one position leaves undecided.
    QTest::newRow("winnable") << QStringLiteral("21") << QString() << 0 << QStringLiteral("winnable");
    QTest::newRow("not winnable") << QStringLiteral("19") << QString() << 3 << QStringLiteral("not winnable");
    QTest::newRow("unknown") << QStringLiteral("294") << QStringLiteral("1") << 4 << QStringLiteral("unknown");
}

void CliTest::analyzeAnswersWithExitCodes()
{
    QFETCH(QString, seed);
    QFETCH(QString, limit);
    QFETCH(int, exitCode);
    QFETCH(QString, answer);
    const QString game = deal(qPrintable(seed), false, "analyzed.tlgf");
    QStringList arguments = words("analyze") << game;
    if (!limit.isEmpty())
        arguments << QStringLiteral("--limit") << limit;
    const CliResult result = run(arguments);
    QVERIFY2(result.exitCode == exitCode, qPrintable(result.out + result.err));
    const QStringList lines = result.out.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), answer);
    QVERIFY(QRegularExpression(QStringLiteral("^time: \\d+\\.\\d ms$")).match(lines.value(1)).hasMatch());
    QVERIFY(lines.value(2).startsWith(QStringLiteral("positions: ")));
    // The order comes in the engine's report: every tile once, the pairs numbered.
    const QRegularExpression place(QStringLiteral("layer=\\d+, x=\\d+, y=\\d+"));
    QSet<QString> places;
    for (auto match = place.globalMatch(result.out); match.hasNext();)
        places.insert(match.next().captured(0));
    QCOMPARE(places.size(), exitCode == 0 ? tilesInASet : 0);
    QCOMPARE(result.out.contains(QStringLiteral("\n72. ")), exitCode == 0);
}

void CliTest::surveyCountsTheDealsOfDeal()
{
    const CliResult result = run(words("survey Turtle Arena --deals 3 --seed 19 --threads 2 --list"));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 * (3 + 1));
    const QRegularExpression dealLine(
        QStringLiteral("^seed (\\d+): (winnable|not winnable|unknown), \\d+\\.\\d ms, \\d+ positions$"));
    const QRegularExpression summary(QStringLiteral(
        "^(\\w+): 3 deals, (\\d+) winnable, (\\d+) not winnable, (\\d+) unknown, median \\d+\\.\\d ms, "
        "p99 \\d+\\.\\d ms, max \\d+\\.\\d ms$"));
    for (int layout = 0; layout < 2; ++layout) {
        for (int i = 0; i < 3; ++i) {
            const QRegularExpressionMatch match = dealLine.match(lines.at(4 * layout + i));
            QVERIFY2(match.hasMatch(), qPrintable(lines.at(4 * layout + i)));
            QCOMPARE(match.captured(1).toInt(), 19 + i);
        }
        const QRegularExpressionMatch match = summary.match(lines.at(4 * layout + 3));
        QVERIFY2(match.hasMatch(), qPrintable(lines.at(4 * layout + 3)));
        QCOMPARE(match.captured(1), layout == 0 ? QStringLiteral("Turtle") : QStringLiteral("Arena"));
        QCOMPARE(match.captured(2).toInt() + match.captured(3).toInt() + match.captured(4).toInt(), 3);
    }
    // The survey's first deal is the one `deal` saves for its seed, lost as analyze finds.
    QCOMPARE(lines.first(), QStringLiteral("seed 19: not winnable, ") + lines.first().section(QStringLiteral(", "), 1));
    QCOMPARE(run(words("analyze") << deal("19", false, "surveyed.tlgf")).exitCode, 3);
}

void CliTest::badArgumentsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString notAGame = write(QStringLiteral("notes.tlgf"), "<notes/>");
    const QString unknownLayout = write(QStringLiteral("unknown.tlgf"),
                                        "<game><layout name=\"Nowhere\" cs=\"12345\"/></game>");
    const QString unwritable = home.filePath(QStringLiteral("no/such/folder.tlgf"));

    QTest::newRow("no command") << QStringList() << QStringLiteral("no command given");
    QTest::newRow("unknown command") << words("play") << QStringLiteral("unknown command 'play'");
    QTest::newRow("unknown option") << words("check Turtle --fast")
                                    << QStringLiteral("Unknown option 'fast'");
    QTest::newRow("missing -o") << words("deal Turtle --seed 1")
                                << QStringLiteral("deal needs the option --output");
    QTest::newRow("missing layout") << words("deal --seed 1 -o x.tlgf")
                                    << QStringLiteral("deal needs the argument LAYOUT");
    QTest::newRow("extra argument") << words("check Turtle Turtle")
                                    << QStringLiteral("check does not take 'Turtle'");
    QTest::newRow("negative seed") << words("deal Turtle --seed -1 -o x.tlgf")
                                   << QStringLiteral("--seed needs a whole number");
    QTest::newRow("seed too large") << words("deal Turtle --seed 4294967296 -o x.tlgf")
                                    << QStringLiteral("from 0 to 4294967295, not '4294967296'");
    QTest::newRow("unknown layout") << words("deal Nowhere --seed 1 -o x.tlgf")
                                    << QStringLiteral("layout named 'Nowhere'");
    QTest::newRow("unwritable game file") << (words("deal Turtle --seed 1 -o") << unwritable)
                                          << QStringLiteral("could not save the game");
    QTest::newRow("iterations abc") << words("solve x.tlgf --iterations abc")
                                    << QStringLiteral("--iterations needs a whole number from 1");
    QTest::newRow("missing game file") << words("solve x.tlgf --iterations 5")
                                       << QStringLiteral("'x.tlgf' is not a readable game file");
    QTest::newRow("not a game") << (words("solve --iterations 5") << notAGame)
                                << QStringLiteral("is not a readable game file");
    QTest::newRow("layout of game not found")
        << (words("solve --iterations 5") << unknownLayout)
        << QStringLiteral("found no layout 'Nowhere' with checksum 12345");
    QTest::newRow("directory as layout") << (words("check") << home.path())
                                         << QStringLiteral("is not a layout file");
    QTest::newRow("analyze limit abc") << words("analyze x.tlgf --limit abc")
                                       << QStringLiteral("--limit needs a whole number from 1");
    QTest::newRow("analyze missing game") << words("analyze x.tlgf")
                                          << QStringLiteral("'x.tlgf' is not a readable game file");
    QTest::newRow("survey without deals") << words("survey Turtle")
                                          << QStringLiteral("survey needs the option --deals");
    QTest::newRow("survey without layout") << words("survey --deals 2")
                                           << QStringLiteral("survey needs the argument LAYOUT");
    QTest::newRow("no threads") << words("survey Turtle --deals 2 --threads 0")
                                << QStringLiteral("--threads needs a whole number from 1");
    QTest::newRow("seeds run out") << words("survey Turtle --deals 2 --seed 4294967295")
                                   << QStringLiteral("runs past the largest seed");
    QTest::newRow("survey unknown layout") << words("survey Turtle Nowhere --deals 1")
                                           << QStringLiteral("layout named 'Nowhere'");
}

void CliTest::badArgumentsAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CliResult result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.startsWith(QStringLiteral("tilvane-cli: ")) && result.err.contains(message),
             qPrintable(result.err));
}

TILVANE_TEST_MAIN(CliTest, QCoreApplication)
#include "tst_cli.moc"
