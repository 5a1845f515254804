#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"

#include <QCoreApplication>
#include <QHash>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

const QString damagedIndent(25, QLatin1Char(' '));

QString tileElements(const QVector<tlTilePosition> &positions)
{
    QString text;
    for (const tlTilePosition &p : positions) {
        text += QStringLiteral("    <tile layer=\"%1\" x=\"%2\" y=\"%3\"/>\n")
                    .arg(p.layer).arg(p.x).arg(p.y);
    }
    return text;
}

// A row of tiles on layer 1 from x 0, two units apart.
QVector<tlTilePosition> row(int count)
{
    QVector<tlTilePosition> positions;
    for (int i = 0; i < count; ++i)
        positions.append({1, 2 * i, 0});
    return positions;
}

}

class LayoutHandlerTest : public QObject
{
    Q_OBJECT

private slots:
    void readsHeaderAndTiles();
    void missingVerifiedReadsAsUnverified();
    void tilesBeforeLayoutAreIgnored();
    void shortFileReportsEndOfDocument();
    void unreadableFileIsReported();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void oversizedFileIsRefused();
    void checksumIgnoresOrderAndWraps();
    void findsLayoutByNameAndChecksum();
    void userLayoutsComeFirst();

private:
    QString write(const QString &name, const QString &content);
    QTemporaryDir dir;
};

QString LayoutHandlerTest::write(const QString &name, const QString &content)
{
    return writeTestFile(QDir(dir.path()), name, content.toUtf8());
}

void LayoutHandlerTest::readsHeaderAndTiles()
{
    const QString path = write(QStringLiteral("small.tllf"), QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<layout tiles=\"3\" layers=\"2\" name=\"Small\" lx=\"4\" ux=\"8\" ly=\"2\" uy=\"3\" verified=\"1\" cs=\"7\">\n"
        "    <designer name=\"Ann\"/>\n"
        "    <tile layer=\"1\" x=\"4\" y=\"2\"/>\n"
        "    <tile layer=\"1\" x=\"6\" y=\"3\"/>\n"
        "    <tile layer=\"2\" x=\"8\" y=\"2\"/>\n"
        "</layout>\n"));
    tlLayoutHandler layout;
    QVERIFY(layout.open(path));
    QCOMPARE(layout.name(), QStringLiteral("Small"));
    QCOMPARE(layout.lx(), 4);
    QCOMPARE(layout.ux(), 8);
    QCOMPARE(layout.ly(), 2);
    QCOMPARE(layout.uy(), 3);
    QVERIFY(layout.verified());
    QCOMPARE(layout.designer(), QStringLiteral("Ann"));
    QCOMPARE(layout.positionCount(), 3);
    QCOMPARE(layout.position(1).x, 6);
    QCOMPARE(layout.position(1).y, 3);
    QCOMPARE(layout.position(2).layer, 2);
    QCOMPARE(layout.maxLayer(), 2);
    // 1+16+4 + 1+36+9 + 4+64+4: the file's own values, not the recorded cs.
    QCOMPARE(layout.checksum(), 139u);
    QVERIFY(layout.openExisting(path));
    QVERIFY(!layout.openExisting(dir.filePath(QStringLiteral("absent.tllf"))));
}

void LayoutHandlerTest::missingVerifiedReadsAsUnverified()
{
    const QString path = write(QStringLiteral("unverified.tllf"), QStringLiteral(
        "<layout tiles=\"1\" name=\"U\" lx=\"0\" ux=\"0\" ly=\"0\" uy=\"0\">"
        "<tile layer=\"1\" x=\"0\" y=\"0\"/></layout>"));
    tlLayoutHandler layout;
    QVERIFY(layout.open(path));
    QVERIFY(!layout.verified());
}

void LayoutHandlerTest::tilesBeforeLayoutAreIgnored()
{
    const QString path = write(QStringLiteral("early.tllf"), QStringLiteral(
        "<root><tile layer=\"1\" x=\"0\" y=\"0\"/>"
        "<layout tiles=\"1\" name=\"E\" lx=\"0\" ux=\"2\" ly=\"0\" uy=\"0\" verified=\"1\">"
        "<tile layer=\"1\" x=\"2\" y=\"0\"/></layout></root>"));
    tlLayoutHandler layout;
    QVERIFY(layout.open(path));
    QCOMPARE(layout.positionCount(), 1);
    QCOMPARE(layout.position(0).x, 2);
}

void LayoutHandlerTest::shortFileReportsEndOfDocument()
{
    const QString path = write(QStringLiteral("short.tllf"),
        QStringLiteral("<layout tiles=\"144\" name=\"S\" lx=\"0\" ux=\"284\" ly=\"0\" uy=\"0\" verified=\"1\">\n")
        + tileElements(row(143)) + QStringLiteral("</layout>\n"));
    tlStdoutCapture capture;
    tlLayoutHandler layout;
    QVERIFY(!layout.open(path));
    const QStringList lines = capture.text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0),
             QStringLiteral("tlLayoutHandler::open(): Errors while reading file '%1'. ").arg(path));
    QCOMPARE(lines.value(1), damagedIndent + QStringLiteral("Layout file might be damaged."));
    // The XML itself was sound: an empty error text, then the end of the document.
    QCOMPARE(lines.value(2), damagedIndent + QStringLiteral("XML:  See line 146, column 0."));
}

void LayoutHandlerTest::unreadableFileIsReported()
{
    const QString path = dir.filePath(QStringLiteral("missing.tllf"));
    tlStdoutCapture capture;
    tlLayoutHandler layout;
    QVERIFY(!layout.open(path));
    QCOMPARE(capture.text(), QStringLiteral("tlLayoutHandler::open(): Could not open file '%1'. "
                                            "No layout loaded.\n").arg(path));
}

void LayoutHandlerTest::badInputIsRefused_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("reason");
    const QString header = QStringLiteral(
        "<layout tiles=\"2\" name=\"B\" lx=\"0\" ux=\"4\" ly=\"0\" uy=\"2\" verified=\"1\">");
    QTest::newRow("malformed XML") << header + QStringLiteral("<tile layer=\"1\" x=\"0\" y=\"0\">")
                                   << QString();
    QTest::newRow("no layout element") << QStringLiteral("<tiles><tile layer=\"1\"/></tiles>")
                                       << QString();
    QTest::newRow("empty file") << QString() << QString();
    QTest::newRow("count differs")
        << header + QStringLiteral("<tile layer=\"1\" x=\"0\" y=\"0\"/></layout>") << QString();
    QTest::newRow("layer 0")
        << header + QStringLiteral("<tile layer=\"0\" x=\"0\" y=\"0\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>")
        << QStringLiteral("Tile layer 0 is out of range.");
    QTest::newRow("layer too high")
        << header + QStringLiteral("<tile layer=\"65\" x=\"0\" y=\"0\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>")
        << QStringLiteral("Tile layer 65 is out of range.");
    QTest::newRow("x right of bounds")
        << header + QStringLiteral("<tile layer=\"1\" x=\"5\" y=\"0\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>")
        << QStringLiteral("Tile at x 5, y 0 lies outside the layout's bounds.");
    QTest::newRow("y above bounds")
        << header + QStringLiteral("<tile layer=\"1\" x=\"0\" y=\"-1\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>")
        << QStringLiteral("Tile at x 0, y -1 lies outside the layout's bounds.");
    QTest::newRow("two tiles on one position")
        << header + QStringLiteral("<tile layer=\"1\" x=\"2\" y=\"0\"/><tile layer=\"1\" x=\"2\" y=\"0\"/></layout>")
        << QStringLiteral("Two tiles share layer 1, x 2, y 0.");
    QTest::newRow("absurd bounds")
        << QStringLiteral("<layout tiles=\"0\" name=\"H\" lx=\"0\" ux=\"2000000000\" ly=\"0\" uy=\"0\" verified=\"1\"/>")
        << QStringLiteral("The layout's bounds (lx 0, ux 2000000000, ly 0, uy 0) are out of range.");
    QTest::newRow("bounds reversed")
        << QStringLiteral("<layout tiles=\"0\" name=\"R\" lx=\"4\" ux=\"0\" ly=\"0\" uy=\"0\" verified=\"1\"/>")
        << QStringLiteral("The layout's bounds (lx 4, ux 0, ly 0, uy 0) are out of range.");
    QTest::newRow("second layout element")
        << header + QStringLiteral("<layout tiles=\"0\"/></layout>")
        << QStringLiteral("More than one layout element.");
    QTest::newRow("too many tiles")
        << QStringLiteral("<layout tiles=\"5000\" name=\"M\" lx=\"0\" ux=\"511\" ly=\"0\" uy=\"511\" verified=\"1\">")
               + [] {
                     QString tiles;
                     for (int i = 0; i < 5000; ++i)
                         tiles += QStringLiteral("<tile layer=\"%1\" x=\"%2\" y=\"0\"/>")
                                      .arg(1 + i / 256).arg(2 * (i % 256));
                     return tiles;
                 }()
               + QStringLiteral("</layout>")
        << QStringLiteral("More than 4096 tiles.");
}

void LayoutHandlerTest::badInputIsRefused()
{
    QFETCH(QString, content);
    QFETCH(QString, reason);
    const QString path = write(QStringLiteral("bad.tllf"), content);
    tlStdoutCapture capture;
    tlLayoutHandler layout;
    QVERIFY(!layout.open(path));
    const QString output = capture.text();
    QVERIFY2(output.startsWith(
                 QStringLiteral("tlLayoutHandler::open(): Errors while reading file '%1'. \n").arg(path)),
             qPrintable(output));
    QVERIFY(output.contains(damagedIndent + QStringLiteral("Layout file might be damaged.\n")));
    QVERIFY2(output.contains(damagedIndent + QStringLiteral("XML: ") + reason), qPrintable(output));
}

void LayoutHandlerTest::oversizedFileIsRefused()
{
    QString content = QStringLiteral("<layout tiles=\"0\" name=\"Big\" lx=\"0\" ux=\"0\" ly=\"0\" uy=\"0\" verified=\"1\">");
    content += QString(int(tlLayoutHandler::maxFileBytes), QLatin1Char(' '));
    content += QStringLiteral("</layout>");
    const QString path = write(QStringLiteral("big.tllf"), content);
    tlStdoutCapture capture;
    tlLayoutHandler layout;
    QVERIFY(!layout.open(path));
    QVERIFY(capture.text().contains(QStringLiteral("XML: The file is too large for a layout.")));
}

void LayoutHandlerTest::checksumIgnoresOrderAndWraps()
{
    const auto checksumOf = [this](const QVector<tlTilePosition> &positions, int lx, int ux) {
        const QString path = write(QStringLiteral("cs.tllf"),
            QStringLiteral("<layout tiles=\"%1\" name=\"C\" lx=\"%2\" ux=\"%3\" ly=\"0\" uy=\"4\" verified=\"1\">")
                .arg(positions.size()).arg(lx).arg(ux)
            + tileElements(positions) + QStringLiteral("</layout>"));
        tlLayoutHandler layout;
        if (!layout.open(path))
            return 0u;
        return layout.checksum();
    };
    const uint32_t forward = checksumOf({{1, 0, 0}, {1, 2, 0}, {2, 1, 0}}, 0, 2);
    QCOMPARE(checksumOf({{2, 1, 0}, {1, 2, 0}, {1, 0, 0}}, 0, 2), forward);
    QVERIFY(checksumOf({{1, 0, 0}, {1, 2, 0}, {3, 1, 0}}, 0, 2) != forward);
    // Three squares of 60000 pass 2^32: the sum wraps as an unsigned 32-bit value.
    const uint32_t big = 60000u * 60000u;
    QCOMPARE(checksumOf({{1, 60000, 0}, {1, 60000, 2}, {1, 60000, 4}}, 60000, 60000),
             uint32_t(3 * (1 + big) + 4 + 16));
}

void LayoutHandlerTest::findsLayoutByNameAndChecksum()
{
    const QString turtlePath = tlLayoutLocator::findLayoutFile(QStringLiteral("  Turtle \t"), 0);
    QVERIFY(turtlePath.endsWith(QStringLiteral("/Turtle.tllf")));
    tlLayoutHandler turtle;
    QVERIFY(turtle.open(turtlePath));
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), turtle.checksum()), turtlePath);
    // Under another name the second pass finds the file by its checksum alone.
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral("Tortoise"), turtle.checksum()),
             turtlePath);
    QVERIFY(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), turtle.checksum() + 1)
                .isEmpty());
    QVERIFY(tlLayoutLocator::findLayoutFile(QStringLiteral("No Such Layout"), 0).isEmpty());
}

void LayoutHandlerTest::userLayoutsComeFirst()
{
    QHash<QString, QString> userLayouts;
    tlLayoutLocator::setUserLayoutLookup(
        [&userLayouts](const QString &name) { return userLayouts.value(name); });
    const auto forgetLookup = qScopeGuard([] { tlLayoutLocator::setUserLayoutLookup({}); });
    const QString mine = write(QStringLiteral("mine.tllf"), QStringLiteral(
        "<layout tiles=\"1\" name=\"Mine\" lx=\"0\" ux=\"0\" ly=\"0\" uy=\"0\" verified=\"1\">"
        "<tile layer=\"1\" x=\"0\" y=\"0\"/></layout>"));
    userLayouts.insert(QStringLiteral("Mine"), mine);
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral(" Mine "), 0), mine);
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral("Mine"), 1), mine);

    // A registered file edited since (other checksum) is passed over, and the layouts
    // directory still offers a copy with the wanted checksum under any name.
    tlLayoutHandler turtle;
    QVERIFY(turtle.open(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    userLayouts.insert(QStringLiteral("Edited"), mine);
    QVERIFY(tlLayoutLocator::findLayoutFile(QStringLiteral("Edited"), turtle.checksum())
                .endsWith(QStringLiteral("/Turtle.tllf")));
    // With checksum 0 the registered path is trusted even when the file is gone.
    userLayouts.insert(QStringLiteral("Gone"), dir.filePath(QStringLiteral("gone.tllf")));
    QCOMPARE(tlLayoutLocator::findLayoutFile(QStringLiteral("Gone"), 0),
             dir.filePath(QStringLiteral("gone.tllf")));

    // Without a lookup only the installed layouts are searched.
    tlLayoutLocator::setUserLayoutLookup({});
    QVERIFY(tlLayoutLocator::findLayoutFile(QStringLiteral("Mine"), 0).isEmpty());
}

TILVANE_TEST_MAIN(LayoutHandlerTest, QCoreApplication)
#include "tst_layouthandler.moc"
