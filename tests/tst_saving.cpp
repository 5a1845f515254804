#include "tlClock.h"
#include "tlFileSaver.h"
#include "tlLayoutLocator.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestGames.h"
#include "tleGameEngine.h"
#include "tlgBackupHandler.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QProcess>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// Set in main: the process has a mount namespace of its own and may mount in it.
bool mayMount = false;
const char *needsMounting = "Needs root, to mount a small file system in a private namespace.";

bool deal(tleGameEngine &engine, uint32_t seed)
{
    engine.seed(seed);
    if (!engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)))
        return false;
    engine.shuffleTiles();
    return true;
}

// Takes at most `perCall` bytes a write and `capacity` bytes in all, then fails as a full
// disk does.
class NarrowDevice : public QBuffer
{
public:
    NarrowDevice(qint64 room, qint64 chunk) : capacity(room), perCall(chunk)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 taken = qMin(qMin(length, perCall), capacity - size());
        if (taken <= 0) {
            setErrorString(QStringLiteral("No room"));
            return -1;
        }
        return QBuffer::writeData(data, taken);
    }

private:
    const qint64 capacity;
    const qint64 perCall;
};

// A folder for the tests' files. With mounting allowed it is a small file system of its
// own, which can be filled up, and whose folder can be made read-only while one file in
// it stays writable; otherwise a plain temporary folder.
class Scratch
{
public:
    Scratch()
        : smallDisk(mayMount
                    && ::mount("tmpfs", qPrintable(dir.path()), "tmpfs", 0, "size=256k") == 0)
    {
    }

    ~Scratch()
    {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        while (::umount2(qPrintable(dir.path()), MNT_DETACH) == 0) {
        }
    }

    bool isSmallDisk() const { return smallDisk; }
    QString path() const { return dir.path(); }
    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    // Writes a filler file until the disk refuses more.
    bool fill() const
    {
        QFile filler(file("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray page(4096, 'f');
        while (filler.write(page) > 0) {
        }
        return filler.error() == QFileDevice::ResourceError;
    }

    // Saves a deal as `game`, then fills the disk; returns what the game file holds.
    QByteArray fillAfterSaving(tleGameEngine &engine, const QString &game) const
    {
        const uint32_t seed = 1;
        if (!deal(engine, seed) || !engine.save(game) || !fill())
            return QByteArray();
        return readTestFile(game);
    }

    // The folder refuses new files, `name` in it stays writable. False where that cannot
    // be arranged: as root only a read-only mount stops writes.
    bool freezeFolder(const char *name) const
    {
        const QByteArray folder = dir.path().toLocal8Bit();
        const QByteArray kept = file(name).toLocal8Bit();
        if (smallDisk) {
            // The folder's bind takes the file's along (MS_REC); only the folder's turns
            // read-only.
            const unsigned long readOnly = MS_BIND | MS_REMOUNT | MS_RDONLY;
            if (::mount(kept, kept, nullptr, MS_BIND, nullptr) != 0
                || ::mount(folder, folder, nullptr, MS_BIND | MS_REC, nullptr) != 0
                || ::mount(nullptr, folder, nullptr, readOnly, nullptr) != 0)
                return false;
        } else {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        }
        return !QFileInfo(dir.path()).isWritable() && QFileInfo(file(name)).isWritable();
    }

private:
    QTemporaryDir dir;
    const bool smallDisk;
};

// Points the home folder, where the backups go in test mode, elsewhere for a while; puts
// it and the current folder back.
class HomeMove
{
public:
    explicit HomeMove(const QString &home)
        : savedHome(qgetenv("HOME")), savedCurrent(QDir::currentPath())
    {
        qputenv("HOME", home.toLocal8Bit());
    }
    ~HomeMove()
    {
        QDir::setCurrent(savedCurrent);
        qputenv("HOME", savedHome);
    }

private:
    const QByteArray savedHome;
    const QString savedCurrent;
};

}

class SavingTest : public QObject
{
    Q_OBJECT

private slots:
    void writeThroughNeedsEveryByte_data();
    void writeThroughNeedsEveryByte();
    void failedFlushIsReported();
    void fullDiskKeepsTheOldGame();
    void fullDiskKeepsTheOlderBackups();
    void fullDiskFailsTheCommandLine();
    void readOnlyFolderIsWrittenInPlace();
    void readOnlyFolderOnFullDiskKeepsTheOldBytes();
};

void SavingTest::writeThroughNeedsEveryByte_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<qint64>("perCall");
    QTest::addColumn<bool>("saved");
    const qint64 plenty = 1 << 20;
    QTest::newRow("all at once") << plenty << plenty << true;
    QTest::newRow("a few bytes a write") << plenty << qint64(7) << true;
    QTest::newRow("full after a part") << qint64(4096) << plenty << false;
    QTest::newRow("full from the start") << qint64(0) << plenty << false;
}

void SavingTest::writeThroughNeedsEveryByte()
{
    QFETCH(qint64, capacity);
    QFETCH(qint64, perCall);
    QFETCH(bool, saved);
    const QByteArray content(6000, 'g');
    NarrowDevice device(capacity, perCall);
    QString reason;
    QCOMPARE(tl::detail::writeThrough(device, content, &reason), saved);
    if (saved) {
        QCOMPARE(device.data(), content);
    } else {
        QCOMPARE(reason, QStringLiteral("No room (%1 of 6000 bytes written)").arg(capacity));
    }
}

void SavingTest::failedFlushIsReported()
{
    // A small write only fills the file's buffer; the full disk shows when it goes out.
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("Needs /dev/full.");
    QString reason;
    QVERIFY(!tl::detail::writeThrough(full, QByteArray(100, 'g'), &reason));
    QCOMPARE(reason, QStringLiteral("No space left on device"));
}

void SavingTest::fullDiskKeepsTheOldGame()
{
    Scratch disk;
    if (!disk.isSmallDisk())
        QSKIP(needsMounting);
    tleGameEngine engine;
    const QString game = disk.file("game.tlgf");
    const QByteArray before = disk.fillAfterSaving(engine, game);
    QVERIFY(before.size() > 6000);

    QVERIFY(deal(engine, 2));
    tlStdoutCapture capture;
    QVERIFY(!engine.save(game));
    QVERIFY(!engine.save(disk.file("new.tlgf")));
    const QString output = capture.text();
    QVERIFY2(output.startsWith(QStringLiteral("tleGameEngine::save(): couldn't write file '%1'.\n"
                                              "                       No space left on device")
                                   .arg(game)),
             qPrintable(output));
    QCOMPARE(readTestFile(game), before);
    QCOMPARE(disk.names(), (QStringList{QStringLiteral("filler"), QStringLiteral("game.tlgf")}));
}

void SavingTest::fullDiskKeepsTheOlderBackups()
{
    Scratch disk;
    if (!disk.isSmallDisk())
        QSKIP(needsMounting);
    HomeMove home(disk.path());
    tlgBackupHandler handler(tlClock::system());
    QVERIFY(handler.enabled());
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(folder.absolutePath().startsWith(disk.path()));
    tleGameEngine engine;
    QVERIFY(deal(engine, 3));
    const QStringList older{QStringLiteral("1000000002.tlgf"), QStringLiteral("1000000001.tlgf")};
    for (const QString &name : older)
        QVERIFY(engine.save(folder.filePath(name)));
    const QByteArray before = readTestFile(folder.filePath(older.first()));
    QVERIFY(disk.fill());

    tlStdoutCapture capture;
    QVERIFY(!handler.backupGame(engine));
    QVERIFY(capture.text().endsWith(
        QStringLiteral("tlgBackupHandler::backupGame(): Warning, failed writing backup file.\n")));
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::Reversed), older);
    for (const QString &name : older)
        QCOMPARE(readTestFile(folder.filePath(name)), before);
}

void SavingTest::fullDiskFailsTheCommandLine()
{
    Scratch disk;
    if (!disk.isSmallDisk())
        QSKIP(needsMounting);
    tleGameEngine engine;
    const QString game = disk.file("game.tlgf");
    const QByteArray before = disk.fillAfterSaving(engine, game);
    QVERIFY(!before.isEmpty());

    // The child shares this process's mounts and its isolated home.
    QProcess cli;
    cli.start(QStringLiteral(TILVANE_CLI),
              QString::fromLatin1("deal Turtle --seed 1 -o").split(QLatin1Char(' ')) << game);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QVERIFY(cli.exitCode() != 0);
    const QString error = QString::fromLocal8Bit(cli.readAllStandardError());
    QVERIFY2(error.contains(QStringLiteral("could not save the game as '%1'").arg(game)),
             qPrintable(error));
    QCOMPARE(readTestFile(game), before);
    QCOMPARE(disk.names(), (QStringList{QStringLiteral("filler"), QStringLiteral("game.tlgf")}));
}

void SavingTest::readOnlyFolderIsWrittenInPlace()
{
    Scratch folder;
    const QString game = folder.file("game.tlgf");
    tleGameEngine engine;
    QVERIFY(deal(engine, 1));
    QVERIFY(engine.save(game));
    if (!folder.freezeFolder("game.tlgf"))
        QSKIP(needsMounting);

    QVERIFY(deal(engine, 2));
    QVERIFY(engine.save(game));
    tleGameEngine reopened;
    QVERIFY(reopened.open(game, tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    QVERIFY(kindsOf(reopened) == kindsOf(engine));

    // Shorter and longer contents leave nothing of the old one behind.
    for (const QByteArray &content : {QByteArray("short"), QByteArray(20000, 'l')}) {
        QString reason;
        QVERIFY2(tl::saveFile(game, content, &reason), qPrintable(reason));
        QCOMPARE(readTestFile(game), content);
    }
    QCOMPARE(folder.names(), QStringList{QStringLiteral("game.tlgf")});
}

void SavingTest::readOnlyFolderOnFullDiskKeepsTheOldBytes()
{
    Scratch disk;
    if (!disk.isSmallDisk())
        QSKIP(needsMounting);
    const QByteArray old(100, 'o');
    const QString game = disk.file("game.tlgf");
    QVERIFY(tl::saveFile(game, old));
    QVERIFY(disk.fill());
    QVERIFY(disk.freezeFolder("game.tlgf"));

    QString reason;
    QVERIFY(!tl::saveFile(game, QByteArray(64 * 1024, 'n'), &reason));
    QVERIFY2(reason.startsWith(QStringLiteral("No space left on device")), qPrintable(reason));
    QCOMPARE(readTestFile(game), old);
}

int main(int argc, char **argv)
{
    // Mounts made in a mount namespace of the test's own vanish with it. The namespace
    // must be taken while the process has one thread, before the application object.
    mayMount = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
               && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    tlTestEnvironment environment;
    QCoreApplication app(argc, argv);
    SavingTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_saving.moc"
