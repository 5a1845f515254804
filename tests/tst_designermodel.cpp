#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestLayouts.h"
#include "tldLayoutModel.h"
#include "tldRecentFiles.h"
#include "tldSharedSettings.h"
#include "tleGameEngine.h"

#include <QApplication>
#include <QSettings>
#include <QUndoStack>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

Q_DECLARE_METATYPE(tlTilePosition)

namespace {

// Set in main: the test has a mount namespace of its own, where root may mount.
bool mayMount = false;

const tldBoardLimits board{10, 10, 4};
using Tiles = QVector<tlTilePosition>;

QString builtIn(const QString &name)
{
    return QStringLiteral(TILVANE_LAYOUTS_DIR "/") + name + QStringLiteral(".tllf");
}

QString text(const Tiles &tiles)
{
    QStringList parts;
    for (const tlTilePosition &p : tiles)
        parts << QStringLiteral("%1/%2/%3").arg(p.layer).arg(p.x).arg(p.y);
    return parts.join(QLatin1Char(' '));
}

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"),
                     QStringLiteral("Tilvane"));
}

// A folder whose files cannot be replaced or changed: read-only permissions, or for
// root, whom permissions do not stop, a read-only mount.
class FrozenFolder
{
public:
    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }

    bool freeze()
    {
        const QByteArray path = QFile::encodeName(dir.path());
        if (::geteuid() == 0) {
            mounted = mayMount && ::mount(path, path, nullptr, MS_BIND, nullptr) == 0;
            if (mounted)
                ::mount(nullptr, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr);
        } else {
            for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
                QFile::setPermissions(dir.filePath(name), QFile::ReadOwner);
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        }
        return !QFileInfo(dir.path()).isWritable();
    }

    ~FrozenFolder()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir dir;
    bool mounted = false;
};

}

class DesignerModelTest : public QObject
{
    Q_OBJECT

private slots:
    void builtInLayoutsSurviveOpenAndSave_data();
    void builtInLayoutsSurviveOpenAndSave();
    void everyEditUndoesAndRedoes();
    void refusedEditsLeaveNoStep_data();
    void refusedEditsLeaveNoStep();
    void tilesLandOnWhatLiesThere();
    void typingIsOneStep();
    void badFilesKeepTheLayout_data();
    void badFilesKeepTheLayout();
    void foreignLayoutIsMovedOntoTheGrid();
    void builtInNamesAreNotSavedOver_data();
    void builtInNamesAreNotSavedOver();
    void failedSaveKeepsTheOldFile();
    void recentFiles_data();
    void recentFiles();
    void savingKeepsWhatTheGameWrote();

private:
    QTemporaryDir scratch;
};

void DesignerModelTest::builtInLayoutsSurviveOpenAndSave_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : tlSettings::builtInLayouts())
        QTest::newRow(qPrintable(name)) << name;
}

void DesignerModelTest::builtInLayoutsSurviveOpenAndSave()
{
    QFETCH(QString, name);
    tlLayoutHandler original;
    QVERIFY(original.open(builtIn(name)));
    tldLayoutModel model(board);
    QVERIFY(model.open(builtIn(name)).ok);
    QVERIFY(model.isVerified());
    QVERIFY(!model.isModified());

    // Under a name of its own, as the designer saves a copy.
    model.setName(name + QStringLiteral(" copy"));
    const QString copy = QDir(scratch.path()).filePath(name + QStringLiteral(".tllf"));
    QString problem;
    QVERIFY2(model.save(copy, &problem), qPrintable(problem));
    QVERIFY(!model.isModified());

    tlLayoutHandler reread;
    QVERIFY(reread.open(copy));
    QCOMPARE(text(reread.positions()), text(original.positions()));
    QCOMPARE(reread.checksum(), original.checksum());
    QVERIFY(reread.verified());
    QCOMPARE(reread.name(), name + QStringLiteral(" copy"));
    QCOMPARE(reread.designer(), original.designer());
    QVERIFY(readTestFile(copy).contains(QStringLiteral("cs=\"%1\"").arg(original.checksum()).toUtf8()));
    tleGameEngine engine;
    QVERIFY(engine.init(copy));
}

void DesignerModelTest::everyEditUndoesAndRedoes()
{
    tldLayoutModel model(board);
    QStringList states{text(model.positions())};
    const auto step = [&](bool done) {
        QVERIFY2(done, qPrintable(model.refusal()));
        states << text(model.positions());
    };
    step(model.placeTile({1, 0, 0}, tldLayering::KeepLayers));
    step(model.placeTile({1, 2, 0}, tldLayering::KeepLayers));
    step(model.placeTile({3, 1, 0}, tldLayering::LandOnTop));
    step(model.moveTiles({0}, 0, 2, tldLayering::KeepLayers));
    step(model.pasteTiles({{1, 0, 0}, {1, 2, 0}}, 4, 0, tldLayering::KeepLayers));
    QCOMPARE(model.selection(), (QSet<int>{3, 4}));
    step(model.mirrorTiles({3, 4}, Qt::Horizontal));
    step(model.mirrorTiles({0, 1}, Qt::Vertical));
    step(model.removeTiles({1}));
    QCOMPARE(states.mid(1), (QStringList{
        "1/0/0", "1/0/0 1/2/0", "1/0/0 1/2/0 2/1/0", "1/0/2 1/2/0 2/1/0",
        "1/0/2 1/2/0 2/1/0 1/4/0 1/6/0", "1/0/2 1/2/0 2/1/0 1/6/0 1/4/0",
        "1/0/0 1/2/2 2/1/0 1/6/0 1/4/0", "1/0/0 2/1/0 1/6/0 1/4/0"}));

    QUndoStack *history = model.undoStack();
    for (int i = states.size() - 2; i >= 0; --i) {
        history->undo();
        QCOMPARE(text(model.positions()), states.at(i));
    }
    QVERIFY(!model.isModified());
    for (int i = 1; i < states.size(); ++i) {
        history->redo();
        QCOMPARE(text(model.positions()), states.at(i));
    }
}

void DesignerModelTest::refusedEditsLeaveNoStep_data()
{
    QTest::addColumn<tlTilePosition>("where");
    QTest::addColumn<QString>("why");
    const QString offBoard = QStringLiteral("A tile would lie off the board.");
    QTest::newRow("left of the board") << tlTilePosition{1, -1, 0} << offBoard;
    QTest::newRow("past the last column") << tlTilePosition{1, 19, 0} << offBoard;
    QTest::newRow("past the last row") << tlTilePosition{1, 0, 19} << offBoard;
    QTest::newRow("above the highest layer") << tlTilePosition{5, 4, 4}
                                             << "A tile would lie above layer 4, the highest there is.";
    QTest::newRow("on another tile's place") << tlTilePosition{1, 2, 2}
                                             << "Two tiles would lie on the same place.";
}

void DesignerModelTest::refusedEditsLeaveNoStep()
{
    QFETCH(tlTilePosition, where);
    QFETCH(QString, why);
    tldLayoutModel model(board);
    QVERIFY(model.placeTile({1, 2, 2}, tldLayering::KeepLayers));
    QVERIFY(model.placeTile({1, 18, 18}, tldLayering::KeepLayers));
    const Tiles before = model.positions();
    QVERIFY(!model.placeTile(where, tldLayering::KeepLayers));
    QCOMPARE(model.refusal(), why);
    // A move is refused whole: the tile that could go stays too.
    QVERIFY(!model.moveTiles({0, 1}, 2, 0, tldLayering::KeepLayers));
    QCOMPARE(text(model.positions()), text(before));
    QCOMPARE(model.undoStack()->count(), 2);
}

void DesignerModelTest::tilesLandOnWhatLiesThere()
{
    tldLayoutModel model(board);
    for (int x : {0, 2})
        QVERIFY(model.placeTile({1, x, 0}, tldLayering::KeepLayers));
    // A two-layer group put down over the row rises onto it, keeping its own layers.
    QVERIFY(model.pasteTiles({{1, 8, 8}, {2, 8, 8}}, -7, -8, tldLayering::LandOnTop));
    QCOMPARE(text(model.positions()), QStringLiteral("1/0/0 1/2/0 2/1/0 3/1/0"));
    // Moved away onto empty ground, it sinks to the lowest layer.
    QVERIFY(model.moveTiles({2, 3}, 8, 8, tldLayering::LandOnTop));
    QCOMPARE(text(model.positions()), QStringLiteral("1/0/0 1/2/0 1/9/8 2/9/8"));
    QVERIFY(model.placeTile({4, 9, 8}, tldLayering::LandOnTop));
    QCOMPARE(model.positions().last().layer, 3);
}

void DesignerModelTest::typingIsOneStep()
{
    tldLayoutModel model(board);
    for (const char *typed : {"T", "Tu", "Tur"})
        model.setName(QLatin1String(typed));
    model.setDesigner(QStringLiteral("Me"));
    QCOMPARE(model.undoStack()->count(), 2);
    model.undoStack()->undo();
    QCOMPARE(model.designer(), QString());
    model.undoStack()->undo();
    QCOMPARE(model.name(), QString());
    QVERIFY(!model.isModified());
}

void DesignerModelTest::badFilesKeepTheLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("problem");
    const QDir dir(scratch.path());
    QTest::newRow("missing") << dir.filePath(QStringLiteral("gone.tllf")) << "does not exist";
    QTest::newRow("folder") << scratch.path() << "is not a file";
    const QString huge = writeTestFile(dir, QStringLiteral("huge.tllf"), QByteArray());
    QFile(huge).resize(tlLayoutHandler::maxFileBytes + 1);
    QTest::newRow("huge") << huge << "too large";
    QTest::newRow("not XML") << writeTestFile(dir, QStringLiteral("text.tllf"), "no layout") << "damaged";
    QTest::newRow("count mismatch")
        << writeTestFile(dir, QStringLiteral("short.tllf"),
                         "<layout tiles=\"2\" name=\"S\"><tile layer=\"1\" x=\"0\" y=\"0\"/></layout>")
        << "damaged";
}

void DesignerModelTest::badFilesKeepTheLayout()
{
    QFETCH(QString, path);
    QFETCH(QString, problem);
    tldLayoutModel model(board);
    QVERIFY(model.open(builtIn(QStringLiteral("Turtle"))).ok);
    const tldLayoutFile::Reading reading = model.open(path);
    QVERIFY(!reading.ok);
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    QCOMPARE(model.name(), QStringLiteral("Turtle"));
    QCOMPARE(model.tileCount(), 144);
    QCOMPARE(model.fileName(), builtIn(QStringLiteral("Turtle")));
}

void DesignerModelTest::foreignLayoutIsMovedOntoTheGrid()
{
    const QString path = tlTestLayouts::write(QDir(scratch.path()), QStringLiteral("Far"),
                                              {{1, -3, 2}, {1, -1, 2}, {2, -2, 2}});
    tldLayoutModel model(board);
    const tldLayoutFile::Reading reading = model.open(path);
    QVERIFY(reading.ok);
    QVERIFY(!reading.note.isEmpty());
    QCOMPARE(text(model.positions()), QStringLiteral("1/0/2 1/2/2 2/1/2"));
    QVERIFY(model.isModified());
}

void DesignerModelTest::builtInNamesAreNotSavedOver_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("no name") << QString() << true;
    QTest::newRow("blanks") << QStringLiteral("  ") << true;
    QTest::newRow("built-in") << QStringLiteral("Turtle") << true;
    QTest::newRow("built-in with blanks") << QStringLiteral(" Split Pyramid ") << true;
    QTest::newRow("own name") << QStringLiteral("turtle") << false;
}

void DesignerModelTest::builtInNamesAreNotSavedOver()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    tldLayoutModel model(board);
    QVERIFY(model.openAsTemplate(builtIn(QStringLiteral("Turtle"))).ok);
    QVERIFY(model.fileName().isEmpty());
    QVERIFY(model.isModified());
    model.setName(name);
    QCOMPARE(!model.saveProblem().isEmpty(), refused);
}

void DesignerModelTest::failedSaveKeepsTheOldFile()
{
    FrozenFolder folder;
    const QString path = folder.file("mine.tllf");
    tldLayoutModel model(board);
    model.setName(QStringLiteral("Mine"));
    QVERIFY(model.placeTile({1, 0, 0}, tldLayering::KeepLayers));
    QString problem;
    QVERIFY(model.save(path, &problem));
    const QByteArray old = readTestFile(path);
    if (!folder.freeze())
        QSKIP("The folder cannot be made read-only here.");

    QVERIFY(model.placeTile({1, 2, 0}, tldLayering::KeepLayers));
    QVERIFY(!model.save(path, &problem));
    QVERIFY2(problem.contains(path) && problem.contains(QStringLiteral("left as it was")),
             qPrintable(problem));
    QCOMPARE(readTestFile(path), old);
    QVERIFY(model.isModified());
}

void DesignerModelTest::recentFiles_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("first") << QStringList() << 3 << QStringList{"/l/new.tllf"};
    QTest::newRow("newest first") << QStringList{"/l/a.tllf", "/l/b.tllf"} << 3
                                  << QStringList{"/l/new.tllf", "/l/a.tllf", "/l/b.tllf"};
    QTest::newRow("no second entry") << QStringList{"/l/a.tllf", "/l/./new.tllf"} << 3
                                     << QStringList{"/l/new.tllf", "/l/a.tllf"};
    QTest::newRow("trimmed") << QStringList{"/l/a.tllf", "/l/b.tllf", "/l/c.tllf"} << 2
                             << QStringList{"/l/new.tllf", "/l/a.tllf"};
    QTest::newRow("none kept") << QStringList{"/l/a.tllf"} << 0 << QStringList();
    QTest::newRow("limit below zero") << QStringList{"/l/a.tllf"} << -4 << QStringList();
}

void DesignerModelTest::recentFiles()
{
    QFETCH(QStringList, before);
    QFETCH(int, limit);
    QFETCH(QStringList, after);
    QCOMPARE(tldRecentFiles::remember(before, QStringLiteral("/l/new.tllf"), limit), after);
}

void DesignerModelTest::savingKeepsWhatTheGameWrote()
{
    tlSettings &settings = tlSettings::instance();
    settings.readSettings();
    settings.gridWidth = 60;
    tlHighscoreList::instance()->addEntry({1, 2, QStringLiteral("Gone"), 0, 0, 0, 0});
    {
        // The game, running beside the designer, saves meanwhile.
        QSettings game = store();
        game.setValue(QStringLiteral("Tilvane/Game/Preferences/LayoutName"), QStringLiteral("Waves"));
        game.setValue(QStringLiteral("Tilvane/Layout Designer/Preferences/GridWidth"), 30);
    }
    QVERIFY(tldSharedSettings::save([](tlSettings &s) {
        s.addUserLayoutFile(QStringLiteral("Mine"), QStringLiteral("/m.tllf"));
    }));
    const QSettings stored = store();
    QCOMPARE(stored.value(QStringLiteral("Tilvane/Game/Preferences/LayoutName")).toString(),
             QStringLiteral("Waves"));
    QCOMPARE(stored.value(QStringLiteral("Tilvane/Layout Designer/Preferences/GridWidth")).toInt(), 60);
    QCOMPARE(stored.value(QStringLiteral("Tilvane/UserInput/Layouts/1/LayoutName")).toString(),
             QStringLiteral("Mine"));
    // A highscore that only the designer's memory held is not written back.
    QVERIFY(!tlHighscoreList::instance()->hasLayout(QStringLiteral("Gone")));
}

int main(int argc, char **argv)
{
    // Mounts made in a mount namespace of the test's own vanish with it; the namespace
    // is taken while the process has one thread.
    mayMount = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
               && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    tlTestEnvironment environment;
    QApplication app(argc, argv);
    DesignerModelTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_designermodel.moc"
