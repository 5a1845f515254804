#include "tlDataDirectory.h"
#include "tlHelpBrowser.h"
#include "tlModalAnswerer.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

const QString indexName = QStringLiteral("doc.index");

// A folder of small pages titled "Page <name>"; a.html links to b.html and x.html.
struct Pages
{
    Pages()
    {
        for (const char *name : {"a", "b", "x", "start", "rules", "deep"}) {
            const QString stem = QLatin1String(name);
            const QString body = stem == QLatin1String("a")
                                     ? QStringLiteral("<a href=\"b.html\">b</a> <a href=\"x.html\">x</a>")
                                     : QString();
            writeTestFile(QDir(dir.path()), stem + QStringLiteral(".html"),
                          QStringLiteral("<html><head><title>Page %1</title></head><body>%2</body></html>")
                              .arg(stem, body).toUtf8());
        }
    }
    QString index(const QByteArray &content) const
    {
        return writeTestFile(QDir(dir.path()), indexName, content);
    }
    QTemporaryDir dir;
};

template<typename T>
T *part(const tlHelpBrowser &help, const char *name)
{
    return help.findChild<T *>(QLatin1String(name));
}

// The tree as "title=file(child=file ...)", top-level entries separated by blanks.
QString entries(const QTreeWidgetItem *parent)
{
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem *item = parent->child(i);
        QString text = item->text(0) + QLatin1Char('=') + item->data(0, Qt::UserRole).toString();
        if (item->childCount() > 0)
            text += QLatin1Char('(') + entries(item) + QLatin1Char(')');
        texts << text;
    }
    return texts.join(QLatin1Char(' '));
}

// What the player sees: the page, the entry of the contents that is current and the only
// one selected, which of back and forward can be pressed, and the caption.
QString seen(const tlHelpBrowser &help)
{
    const auto *tree = part<QTreeWidget>(help, "contents");
    QTreeWidgetItem *current = tree->currentItem();
    const bool selected = tree->selectedItems() == (current ? QList<QTreeWidgetItem *>{current}
                                                            : QList<QTreeWidgetItem *>());
    return QStringLiteral("%1 [%2] %3%4 %5")
        .arg(part<QTextBrowser>(help, "browser")->source().fileName(),
             !selected ? QStringLiteral("selection differs")
                       : current ? current->text(0) : QString(),
             part<QPushButton>(help, "backButton")->isEnabled() ? QStringLiteral("<") : QStringLiteral("-"),
             part<QPushButton>(help, "forwardButton")->isEnabled() ? QStringLiteral(">") : QStringLiteral("-"),
             help.windowTitle());
}

// As a mouse click does: the entry becomes current, then the tree reports the click.
void clickEntry(const tlHelpBrowser &help, const QString &title)
{
    auto *tree = part<QTreeWidget>(help, "contents");
    QTreeWidgetItem *item = tree->findItems(title, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    tree->setCurrentItem(item);
    emit tree->itemClicked(item, 0);
}

}

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void indexRules_data();
    void indexRules();
    void unreadableIndex();
    void navigation();
    void manualIsComplete();
};

void HelpTest::indexRules_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<int>("skipped");
    const QString startOnly = QStringLiteral("Start=start.html");

    QTest::newRow("chapters, sections, comment")
        << QByteArray("# contents\n0,Start,start.html\n1,Rules,rules.html\n0,B,b.html\n1,Deep,deep.html\n")
        << QStringLiteral("Start=start.html(Rules=rules.html) B=b.html(Deep=deep.html)") << 0;
    QTest::newRow("section before any chapter")
        << QByteArray("1,Rules,rules.html\n0,Start,start.html\n") << startOnly << 1;
    QTest::newRow("title with a comma")
        << QByteArray("0,Start,start.html\n1,Rules, briefly,rules.html\n") << startOnly << 1;
    QTest::newRow("too few parts, too many, other levels")
        << QByteArray("0,Start\n0,Start,start.html,\n2,Deep,deep.html\n 0,B,b.html\n0,Start,start.html\n")
        << startOnly << 4;
    QTest::newRow("fields exactly as written, blank lines")
        << QByteArray("\n0, Start ,start.html\n\n1,,rules.html\n")
        << QStringLiteral(" Start =start.html(=rules.html)") << 0;
    QTest::newRow("windows line ends, utf-8")
        << QByteArray("0,\xc3\x9c" "bersicht,start.html\r\n1,Rules,rules.html\r\n")
        << QStringLiteral("\u00dcbersicht=start.html(Rules=rules.html)") << 0;
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe,\x01\n\xc0\xc1", 8) << QString() << 2;
}

void HelpTest::indexRules()
{
    QFETCH(QByteArray, index);
    QFETCH(QString, tree);
    QFETCH(int, skipped);
    const Pages pages;
    tlStdoutCapture output;
    const tlHelpBrowser help(pages.index(index), pages.dir.path());

    QCOMPARE(output.text().count(QStringLiteral("skipped")), skipped);
    QCOMPARE(entries(part<QTreeWidget>(help, "contents")->invisibleRootItem()), tree);
    // The first chapter is shown and selected.
    QCOMPARE(seen(help), tree.isEmpty() ? QStringLiteral(" [] -- Help")
                                        : QStringLiteral("start.html [%1] -- Help: Page start")
                                              .arg(tree.section(QLatin1Char('='), 0, 0)));
}

void HelpTest::unreadableIndex()
{
    const Pages pages;
    tlModalAnswerer answerer;
    const tlHelpBrowser help(pages.dir.filePath(QStringLiteral("missing.index")), pages.dir.path());
    QCOMPARE(answerer.titles(), QStringList{QStringLiteral("Tilvane")});
    QCOMPARE(answerer.texts(),
             QStringList{QStringLiteral("Cannot open the index descriptor file to setup the "
                                        "documentation. No online help will be available. Check "
                                        "your installation and reinstall if necessary.")});
    QCOMPARE(seen(help), QStringLiteral(" [] -- Help"));
}

void HelpTest::navigation()
{
    const Pages pages;
    tlHelpBrowser help(pages.index("0,A,a.html\n1,B,b.html\n0,A again,a.html\n"), pages.dir.path());
    help.show();
    auto *browser = part<QTextBrowser>(help, "browser");
    const auto press = [&](const char *button) { part<QPushButton>(help, button)->click(); };

    // Of two entries for one page, the later one stands for it.
    QCOMPARE(seen(help), QStringLiteral("a.html [A again] -- Help: Page a"));
    clickEntry(help, QStringLiteral("B"));
    QCOMPARE(seen(help), QStringLiteral("b.html [B] <- Help: Page b"));
    press("backButton");
    QCOMPARE(seen(help), QStringLiteral("a.html [A again] -> Help: Page a"));
    press("forwardButton");
    QCOMPARE(seen(help), QStringLiteral("b.html [B] <- Help: Page b"));
    clickEntry(help, QStringLiteral("A"));
    QCOMPARE(seen(help), QStringLiteral("a.html [A] <- Help: Page a"));

    // Links followed inside a page, as the browser follows a click on one.
    browser->setSource(QUrl(QStringLiteral("x.html")));
    QCOMPARE(seen(help), QStringLiteral("x.html [] <- Help: Page x"));
    press("backButton");
    QCOMPARE(seen(help), QStringLiteral("a.html [A again] <> Help: Page a"));
    browser->setSource(QUrl(QStringLiteral("b.html")));
    QCOMPARE(seen(help), QStringLiteral("b.html [B] <- Help: Page b"));
    press("homeButton");
    QCOMPARE(seen(help), QStringLiteral("a.html [A again] <- Help: Page a"));

    press("closeButton");
    QVERIFY(!help.isVisible());
}

// The manual as installed: every page is in the contents and has a title, and every
// link and picture of every page leads to a file that is there.
void HelpTest::manualIsComplete()
{
    qputenv("TILVANE_DATA_DIR", TILVANE_SOURCE_DATA);
    const QDir docs = findDataDirectory("docs");
    QVERIFY(docs.exists(indexName));
    tlModalAnswerer answerer;
    tlStdoutCapture output;
    const tlHelpBrowser help(docs.filePath(indexName), docs.path());
    QCOMPARE(output.text(), QString());
    QCOMPARE(answerer.texts(), QStringList());

    QSet<QString> indexed;
    for (QTreeWidgetItemIterator item(part<QTreeWidget>(help, "contents")); *item; ++item)
        indexed << (*item)->data(0, Qt::UserRole).toString();
    const QStringList pages = docs.entryList({QStringLiteral("*.html")}, QDir::Files);
    QCOMPARE(indexed, QSet<QString>(pages.begin(), pages.end()));

    const QRegularExpression reference(QStringLiteral("\\b(href|src)=\"([^\"#]*)[^\"]*\""));
    QTextBrowser reader;
    reader.setSearchPaths({docs.path()});
    for (const QString &name : pages) {
        reader.setSource(QUrl(name));
        QVERIFY2(!reader.documentTitle().trimmed().isEmpty(), qPrintable(name));
        auto found = reference.globalMatch(QString::fromUtf8(readTestFile(docs.filePath(name))));
        while (found.hasNext()) {
            const QRegularExpressionMatch link = found.next();
            const QString target = link.captured(2);
            if (!QUrl(target).scheme().isEmpty())
                continue;  // opened in the web browser
            const QString where = name + QStringLiteral(": ") + target;
            QVERIFY2(target.isEmpty() || docs.exists(target), qPrintable(where));
            if (link.captured(1) == QLatin1String("src"))
                QVERIFY2(!QImage(docs.filePath(target)).isNull(), qPrintable(where));
        }
    }
}

TILVANE_TEST_MAIN(HelpTest, QApplication)

#include "tst_help.moc"
