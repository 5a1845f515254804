#include "tlModalAnswerer.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tldGridView.h"
#include "tldTaskRunner.h"
#include "tldWindow.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QApplication>
#include <QMouseEvent>
#include <QUndoStack>

namespace {

QString builtIn(const QString &name)
{
    return QStringLiteral(TILVANE_LAYOUTS_DIR "/") + name + QStringLiteral(".tllf");
}

}

// The designer's window as an author uses it, with the settings' usual grid: tiles 42 by
// 52 pixels, 15 pixels from the board's edge.
class DesignerWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void drawingWithTheMouse();
    void titleShowsUnsavedChanges();
    void badFileKeepsTheLayout();
    void verificationMarksTheLayout();
    void tryInGameRegistersTheLayout();

private:
    // The middle of a tile at half-tile place (x, y).
    static QPoint centre(int x, int y) { return {15 + 21 * (x + 1), 15 + 26 * (y + 1)}; }
    QString tilesText() const;
    // A drag's move, as the event itself: the test library only moves the cursor.
    void dragTo(const QPoint &point)
    {
        QMouseEvent move(QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(board, &move);
    }
    void trigger(const char *command) { window->findChild<QAction *>(QLatin1String(command))->trigger(); }

    QTemporaryDir files;
    std::unique_ptr<tldWindow> window;
    tldGridView *board = nullptr;
};

void DesignerWindowTest::init()
{
    tlSettings::instance().readSettings();
    window = std::make_unique<tldWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    board = window->findChild<tldGridView *>();
}

void DesignerWindowTest::cleanup()
{
    window->model().clear();
    window.reset();
}

QString DesignerWindowTest::tilesText() const
{
    QStringList parts;
    for (const tlTilePosition &p : window->model().positions())
        parts << QStringLiteral("%1/%2/%3").arg(p.layer).arg(p.x).arg(p.y);
    return parts.join(QLatin1Char(' '));
}

void DesignerWindowTest::drawingWithTheMouse()
{
    tldLayoutModel &layout = window->model();
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(2, 2));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(4, 2));
    QCOMPARE(tilesText(), QStringLiteral("1/2/2 1/4/2"));
    // A click on a tile of the current layer selects it; a double click puts one on top.
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(2, 2));
    QCOMPARE(layout.selection(), QSet<int>{0});
    QTest::mouseDClick(board, Qt::LeftButton, {}, centre(4, 2));
    QCOMPARE(tilesText(), QStringLiteral("1/2/2 1/4/2 2/4/2"));
    QCOMPARE(board->currentLayer(), 2);

    // Dragged two tiles down, the tile of the current layer sinks to the ground.
    QTest::mousePress(board, Qt::LeftButton, {}, centre(4, 2));
    dragTo(centre(4, 6));
    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(4, 6));
    QCOMPARE(tilesText(), QStringLiteral("1/2/2 1/4/2 1/4/6"));

    // A band from an empty place selects what it touches; Delete removes it.
    board->setCurrentLayer(1);
    const QPoint bandEnd = centre(3, 3) - QPoint(1, 1);  // short of the next tile's edge
    QTest::mousePress(board, Qt::LeftButton, {}, centre(0, 0));
    dragTo(bandEnd);
    QTest::mouseRelease(board, Qt::LeftButton, {}, bandEnd);
    QCOMPARE(layout.selection(), QSet<int>{0});
    trigger("remove");
    QCOMPARE(tilesText(), QStringLiteral("1/4/2 1/4/6"));
    QTest::mouseClick(board, Qt::RightButton, {}, centre(4, 6));
    QCOMPARE(tilesText(), QStringLiteral("1/4/2"));
    QCOMPARE(layout.undoStack()->count(), 6);
}

void DesignerWindowTest::titleShowsUnsavedChanges()
{
    QVERIFY(window->openFile(builtIn(QStringLiteral("Turtle"))));
    QCOMPARE(window->windowTitle(), QStringLiteral("Turtle.tllf[*] - Tilvane Layout Designer"));
    QVERIFY(!window->isWindowModified());
    QTest::mouseClick(board, Qt::RightButton, {}, centre(2, 0));
    QVERIFY(window->isWindowModified());
    trigger("undo");
    QVERIFY(!window->isWindowModified());
}

void DesignerWindowTest::badFileKeepsTheLayout()
{
    QVERIFY(window->openFile(builtIn(QStringLiteral("Turtle"))));
    const QString bad = writeTestFile(QDir(files.path()), QStringLiteral("bad.tllf"), "<layout");
    tlModalAnswerer answerer;
    QVERIFY(!window->openFile(bad));
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY(answerer.texts().first().contains(bad));
    QCOMPARE(window->model().name(), QStringLiteral("Turtle"));
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("Turtle.tllf")));
}

void DesignerWindowTest::verificationMarksTheLayout()
{
    tldLayoutModel &layout = window->model();
    QVERIFY(layout.openAsTemplate(builtIn(QStringLiteral("Canyon"))).ok);
    QVERIFY(layout.removeTiles({layout.tileCount() - 1}));  // a tile of the top layer
    QVERIFY(!layout.isVerified());
    trigger("verify");
    const auto *problems = window->findChild<QListWidget *>(QStringLiteral("problemList"));
    QCOMPARE(problems->count(), 1);
    QCOMPARE(problems->item(0)->text(), QStringLiteral("The layout has 143 tiles; it needs exactly 144."));

    // Whole again, the layout goes to the engine, off the window's thread.
    layout.undoStack()->undo();
    QSignalSpy ended(window->findChild<tldTaskRunner *>(), &tldTaskRunner::finished);
    trigger("verify");
    QVERIFY(ended.wait());
    QVERIFY(layout.isVerified());
    QCOMPARE(problems->count(), 0);
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("verificationSummary"))->text().startsWith(
        QStringLiteral("Verified:")));
}

void DesignerWindowTest::tryInGameRegistersTheLayout()
{
    tlSettings &settings = tlSettings::instance();
    // A copy of a verified layout under a name of its own, saved.
    tldLayoutModel &layout = window->model();
    QVERIFY(layout.openAsTemplate(builtIn(QStringLiteral("Temple"))).ok);
    layout.setName(QStringLiteral("Shrine"));
    const QString path = QDir(files.path()).filePath(QStringLiteral("Shrine.tllf"));
    QString problem;
    QVERIFY(layout.save(path, &problem));

    tlModalAnswerer answerer;
    trigger("tryInGame");
    QCOMPARE(settings.userLayoutFile(QStringLiteral("Shrine")), path);
    QCOMPARE(settings.layoutName, QStringLiteral("Shrine"));
    trigger("tryInGame");
    QCOMPARE(settings.userLayoutNames(), QStringList{"Shrine"});
    QVERIFY(answerer.texts().value(1).startsWith(QStringLiteral("'Shrine' is already one of")));

    // Another file under a name the game knows already is refused as the game refuses it.
    const QString other = QDir(files.path()).filePath(QStringLiteral("Other.tllf"));
    QVERIFY(layout.save(other, &problem));
    trigger("tryInGame");
    QCOMPARE(answerer.texts().value(2),
             QStringLiteral("Layout cannot be added. A layout with the same name already exist."));
    QCOMPARE(settings.userLayoutFile(QStringLiteral("Shrine")), path);
}

TILVANE_TEST_MAIN(DesignerWindowTest, QApplication)
#include "tst_designerwindow.moc"
