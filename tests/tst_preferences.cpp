#include "tlHighscoreList.h"
#include "tlModalAnswerer.h"
#include "tlPreferencesDialog.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestLayouts.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGraphicsView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <sys/stat.h>

using Mode = tlPreferencesDialog::Mode;
Q_DECLARE_METATYPE(Mode)

namespace {

enum Tab { GameOptionsTab, BoardTab, TilesTab, LayoutsTab, DesignerTab };
const int screenFor100 = 100;
const QString title = QStringLiteral("Tilvane - Preferences");
const QString setDefaults = QStringLiteral("Set Default Values");

// The dialog's controls, found as a player finds them: by their texts and labels.
struct Dialog
{
    tlPreferencesDialog dialog;
    explicit Dialog(Mode mode = Mode::Game) : dialog(nullptr, mode) {}

    QTabWidget *tabs() { return dialog.findChild<QTabWidget *>(); }
    template <typename T>
    T *on(Tab tab) { return tabs()->widget(tab)->findChild<T *>(); }
    // A check box or button by its text, any other control by its label.
    template <typename T>
    T *control(const QString &text, QWidget *within = nullptr)
    {
        for (QAbstractButton *button : (within ? within : &dialog)->findChildren<QAbstractButton *>()) {
            if (button->text() == text)
                return qobject_cast<T *>(button);
        }
        for (const QLabel *label : dialog.findChildren<QLabel *>()) {
            if (label->text() == text)
                return qobject_cast<T *>(label->buddy());
        }
        return nullptr;
    }
    QListWidget *list() { return on<QListWidget>(LayoutsTab); }
    QStringList names()
    {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row)
            texts << list()->item(row)->text();
        return texts;
    }
    void select(const QString &name) { list()->setCurrentItem(list()->findItems(name, Qt::MatchExactly).value(0)); }
    QColor sample() { return on<QGraphicsView>(BoardTab)->scene()->backgroundBrush().color(); }
    void chooseColour(int choice) { on<QComboBox>(BoardTab)->setCurrentIndex(choice); }
    void press(QDialogButtonBox::StandardButton which) { dialog.findChild<QDialogButtonBox *>()->button(which)->click(); }
};

// Answers the colour chooser with `colour` as it shows (cancels it for an invalid colour)
// and counts the paint events of `window` and everything in it.
class Watcher : public QObject
{
public:
    explicit Watcher(const QColor &answer, const QWidget *watched = nullptr) : colour(answer), window(watched)
    {
        qApp->installEventFilter(this);
    }
    ~Watcher() override { qApp->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        paints += event->type() == QEvent::Paint && widget && widget->window() == window;
        auto *chooser = qobject_cast<QColorDialog *>(watched);
        if (chooser && event->type() == QEvent::Show) {
            QMetaObject::invokeMethod(chooser, [this, chooser] {
                chooser->setCurrentColor(colour);
                colour.isValid() ? chooser->accept() : chooser->reject();
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    const QColor colour;
    const QWidget *window;
};

// Everything the dialog edits, to tell which settings OK wrote.
QVariantMap edited()
{
    const tlSettings &s = tlSettings::instance();
    return {{"hint", s.hintAlsoReportsTotalMoves}, {"tileName", s.showSelectedTileName},
            {"announce", s.announceNoMoreMoves}, {"winnable", s.winnableGameMode},
            {"lastGame", s.startWithLastGamePlayedAtLaunch}, {"frame", s.boardFrameWidth},
            {"colour", s.backgroundColor}, {"style", tl::tileStyleNumber(s.tileStyle)},
            {"height", s.tileHeight}, {"layout", s.layoutName}, {"gridWidth", s.gridWidth},
            {"gridHeight", s.gridHeight}, {"gridOffset", s.gridOffset}, {"vertical", s.maxTilesVertical},
            {"horizontal", s.maxTilesHorizontal}, {"autoLayer", s.autoInsertTopLayer}};
}

// A value other than the default for every edited setting.
void storeUnusualValues()
{
    tlSettings &s = tlSettings::instance();
    s.hintAlsoReportsTotalMoves = s.showSelectedTileName = s.announceNoMoreMoves = s.autoInsertTopLayer = false;
    s.winnableGameMode = s.startWithLastGamePlayedAtLaunch = true;
    s.boardFrameWidth = 17;
    s.backgroundColor = QColor(12, 34, 56);
    s.tileStyle = tlTileStyle::Picasso;
    s.tileHeight = 83;
    s.layoutName = QStringLiteral("Waves");
    s.gridWidth = 44;
    s.gridHeight = 60;
    s.gridOffset = 3;
    s.maxTilesVertical = 20;
    s.maxTilesHorizontal = 30;
}

}


class PreferencesTest : public QObject
{
    Q_OBJECT

private slots:
    // A store never written: every setting at its default, no user layouts, no highscores.
    void init() { tlSettings::instance().readSettings(); }
    void tileSizeScale_data();
    void tileSizeScale();
    void okWritesWhatChanged_data();
    void okWritesWhatChanged();
    void cancelForgetsEdits();
    void layoutListAndPreview();
    void addUserLayout_data();
    void addUserLayout();
    void removeUserLayout_data();
    void removeUserLayout();
    void modes();
    void idleDialogPaintsNothing();

private:
    QTemporaryDir files;
};

void PreferencesTest::tileSizeScale_data()
{
    QTest::addColumn<int>("maxHeight");
    QTest::addColumn<QVector<int>>("heights");
    QTest::newRow("screen for 100") << 100 << QVector<int>{46, 52, 58, 64, 70, 76, 82, 88, 94, 100};
    QTest::newRow("below the usual") << 60 << QVector<int>{33, 36, 39, 42, 45, 48, 51, 54, 57, 60};
    QTest::newRow("the usual: steps of 0") << 70 << QVector<int>(10, 70);
    QTest::newRow("large screen") << 300 << QVector<int>{20, 20, 20, 24, 70, 116, 162, 208, 254, 300};
    QTest::newRow("tiny screen") << 20 << QVector<int>(10, 20);
}

void PreferencesTest::tileSizeScale()
{
    QFETCH(int, maxHeight);
    QFETCH(QVector<int>, heights);
    const tlTileSizeScale scale(tlSettings::instance().defaultTileHeight, maxHeight);
    for (int position = tlTileSizeScale::firstPosition; position <= tlTileSizeScale::lastPosition; ++position) {
        const int height = heights.at(position - 1);
        QCOMPARE(scale.height(position), height);
        // Any height the slider gives puts it back where it gives that height.
        QCOMPARE(scale.height(scale.position(height)), height);
    }
    // 80 lies between 76 and 82.
    QCOMPARE(tlTileSizeScale(70, screenFor100).position(80), 7);
}

void PreferencesTest::okWritesWhatChanged_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("maxHeight");  // 0: never shown
    QTest::addColumn<bool>("storedLate");  // the values change between building and showing
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QVariantMap>("changes");
    QTest::newRow("no edit") << Mode::Game << screenFor100 << false << "" << QVariant() << QVariantMap();
    QTest::newRow("no edit, refreshed") << Mode::Game << screenFor100 << true << "" << QVariant() << QVariantMap();
    QTest::newRow("no edit, steps of 0") << Mode::Game << 70 << true << "" << QVariant() << QVariantMap();
    QTest::newRow("no edit, designer") << Mode::LayoutDesigner << 0 << false << "" << QVariant() << QVariantMap();
    const auto edit = [](const char *key, Mode mode, const char *control, const QVariant &input,
                         const QVariant &stored) {
        QTest::newRow(key) << mode << screenFor100 << false << control << input << QVariantMap{{key, stored}};
    };
    edit("hint", Mode::Game, "Hint command also reports number of possible moves", true, true);
    edit("tileName", Mode::Game, "Show name of selected tile in status bar", true, true);
    edit("announce", Mode::Game, "Announce dead end (no more moves)", true, true);
    edit("winnable", Mode::Game, "Generate only winnable games", false, false);
    edit("lastGame", Mode::Game, "Start with last game played when launched", false, false);
    edit("frame", Mode::Game, "Frame Width (Offset) Around Tile Layout", 55, 55);
    edit("colour", Mode::Game, "Background Color:", QColor(1, 2, 3), QColor(1, 2, 3));
    edit("style", Mode::Game, "Tile Set:", 1, 1);
    edit("height", Mode::Game, "Tile Size:", 1, 46);
    edit("layout", Mode::Game, "Layouts", "Split Pyramid", "Split Pyramid");
    edit("gridWidth", Mode::LayoutDesigner, "Grid Width:", 50, 50);
    edit("gridHeight", Mode::LayoutDesigner, "Grid Height:", 30, 30);
    edit("gridOffset", Mode::LayoutDesigner, "Grid Offset:", 7, 7);
    edit("vertical", Mode::LayoutDesigner, "Maximum Number of Vertical Tiles:", 9, 9);
    edit("horizontal", Mode::LayoutDesigner, "Maximum Number of Horizontal Tiles:", 40, 40);
    edit("autoLayer", Mode::LayoutDesigner, "Auto set layer when tile is inserted or moved", true, true);
    // "Set Default Values" resets only its own tab.
    QTest::newRow("board defaults") << Mode::Game << screenFor100 << false << setDefaults << QVariant()
                                    << QVariantMap{{"frame", 40}, {"colour", QColor(0, 128, 0)}};
    QTest::newRow("designer defaults")
        << Mode::LayoutDesigner << screenFor100 << false << setDefaults << QVariant()
        << QVariantMap{{"gridWidth", 42}, {"gridHeight", 52}, {"gridOffset", 15}, {"vertical", 15},
                       {"horizontal", 24}, {"autoLayer", true}};
}

void PreferencesTest::okWritesWhatChanged()
{
    QFETCH(Mode, mode);
    QFETCH(int, maxHeight);
    QFETCH(bool, storedLate);
    QFETCH(QString, control);
    QFETCH(QVariant, input);
    QFETCH(QVariantMap, changes);
    if (!storedLate)
        storeUnusualValues();
    Dialog d(mode);
    if (storedLate)
        storeUnusualValues();
    QSignalSpy changed(&d.dialog, &tlPreferencesDialog::preferencesChanged);
    if (maxHeight > 0)
        d.dialog.showPreferences(maxHeight);
    QVariantMap expected = edited();
    for (auto change = changes.cbegin(); change != changes.cend(); ++change)
        expected[change.key()] = change.value();

    if (control.isEmpty()) {
        // OK as it comes.
    } else if (control == setDefaults) {
        d.control<QPushButton>(control, d.tabs()->widget(mode == Mode::Game ? BoardTab : DesignerTab))->click();
    } else if (changes.contains(QStringLiteral("colour"))) {
        Watcher answerer(input.value<QColor>());
        d.chooseColour(1);
    } else if (changes.contains(QStringLiteral("layout"))) {
        d.select(input.toString());
    } else if (auto *box = d.control<QCheckBox>(control)) {
        box->setChecked(input.toBool());
    } else if (auto *slider = d.control<QAbstractSlider>(control)) {
        slider->setValue(input.toInt());
    } else if (auto *spinBox = d.control<QSpinBox>(control)) {
        spinBox->setValue(input.toInt());
    } else if (auto *choice = d.control<QComboBox>(control)) {
        choice->setCurrentIndex(input.toInt());
    }
    d.press(QDialogButtonBox::Ok);
    QVERIFY(!d.dialog.isVisible());
    QCOMPARE(edited(), expected);
    QCOMPARE(changed.count(), changes.isEmpty() ? 0 : 1);
}

void PreferencesTest::cancelForgetsEdits()
{
    const QVariantMap before = edited();
    Dialog d;
    QSignalSpy changed(&d.dialog, &tlPreferencesDialog::preferencesChanged);
    d.dialog.showPreferences(screenFor100);
    QCheckBox *winnable = d.control<QCheckBox>(QStringLiteral("Generate only winnable games"));
    winnable->setChecked(true);
    d.control<QSpinBox>(QStringLiteral("Grid Offset:"))->setValue(1);
    d.control<QSlider>(QStringLiteral("Tile Size:"))->setValue(10);
    {
        Watcher answerer(Qt::yellow);
        d.chooseColour(1);
    }
    // "Current" keeps the chosen colour, and so does a cancelled chooser.
    d.chooseColour(2);
    {
        Watcher answerer{QColor()};
        d.chooseColour(1);
    }
    QCOMPARE(d.sample(), QColor(Qt::yellow));

    d.press(QDialogButtonBox::Cancel);
    QVERIFY(!d.dialog.isVisible());
    QCOMPARE(edited(), before);
    QVERIFY(!winnable->isChecked());
    QCOMPARE(d.sample(), QColor(Qt::darkGreen));
    // Nothing is left for a later OK to write.
    d.dialog.showPreferences(screenFor100);
    d.press(QDialogButtonBox::Ok);
    QCOMPARE(changed.count(), 0);
}

void PreferencesTest::layoutListAndPreview()
{
    tlSettings &s = tlSettings::instance();
    for (const char *name : {"Mine Two", "Mine", "turtle", "Turtle"})
        s.addUserLayoutFile(QLatin1String(name), QStringLiteral("/nowhere.tllf"));
    Dialog d;
    d.tabs()->setCurrentIndex(LayoutsTab);
    const QStringList userNames = {"Mine Two", "Mine", "turtle"};
    QCOMPARE(d.names(), tlSettings::builtInLayouts() + userNames);

    // The first name that starts with the stored one, whatever the letter case.
    const QStringList stored = {"Mine", "turtle", "split", "Gone"};
    const QStringList selected = {"Mine Two", "Turtle", "Split Pyramid", "Split Pyramid"};
    for (int i = 0; i < stored.size(); ++i) {
        s.layoutName = stored.at(i);
        d.dialog.showPreferences(screenFor100);
        QCOMPARE(d.list()->currentItem()->text(), selected.at(i));
    }

    // Each built-in layout has its picture, every user layout the common one; each as
    // high as the list and in its own proportions.
    const QLabel *preview = d.on<QLabel>(LayoutsTab);
    for (const QString &picture : {QStringLiteral("Split Pyramid"), QStringLiteral("UserLayout")}) {
        d.select(picture == QLatin1String("UserLayout") ? QStringLiteral("Mine") : picture);
        const QImage expected = QPixmap(QStringLiteral(":/images/%1_Preview.png").arg(picture)).toImage();
        QCOMPARE(preview->pixmap(Qt::ReturnByValue).toImage(), expected);
        const int height = d.list()->height();
        QCOMPARE(preview->maximumSize(), QSize(expected.width() * height / expected.height(), height));
    }
}

void PreferencesTest::addUserLayout_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("refusal");
    const QDir dir(files.path());
    const QString cannotOpen = QStringLiteral("Cannot open layout file '%1'. File not added to list.");
    const QString pipe = dir.filePath(QStringLiteral("pipe.tllf"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), S_IRUSR | S_IWUSR) == 0);
    QTest::newRow("pipe") << pipe << cannotOpen.arg(pipe);
    const QString huge = writeTestFile(dir, QStringLiteral("huge.tllf"), QByteArray());
    QFile(huge).resize(tlLayoutHandler::maxFileBytes + 1);
    QTest::newRow("huge") << huge << cannotOpen.arg(huge);
    const QString text = writeTestFile(dir, QStringLiteral("text.tllf"), "no layout here");
    QTest::newRow("not XML") << text << cannotOpen.arg(text);
    const QString draft = tlTestLayouts::write(dir, QStringLiteral("Draft"), tlTestLayouts::scattered(), false);
    QTest::newRow("unverified") << draft << QStringLiteral(
        "The layout file '%1' is not verified. Use the Layout Designer to complete and verify it, "
        "then try again.").arg(draft);
    QTest::newRow("built-in name") << tlTestLayouts::write(dir, QStringLiteral("Turtle"), tlTestLayouts::scattered())
                                   << "Layout cannot be added. The name of the layout is identical to a built-in "
                                      "layout. Use the Layout Designer to change the name and try again.";
    QTest::newRow("name in the list") << tlTestLayouts::write(dir, QStringLiteral("Mine"), tlTestLayouts::scattered())
                                      << "Layout cannot be added. A layout with the same name already exist.";
    // Only the exact built-in names are taken.
    QTest::newRow("accepted") << tlTestLayouts::write(dir, QStringLiteral("turtle"), tlTestLayouts::scattered())
                              << QString();
}

void PreferencesTest::addUserLayout()
{
    QFETCH(QString, file);
    QFETCH(QString, refusal);
    tlSettings &s = tlSettings::instance();
    s.addUserLayoutFile(QStringLiteral("Mine"), QStringLiteral("/elsewhere/mine.tllf"));
    const QString start = QStringLiteral("/");
    s.saveFileDirectory = start;
    Dialog d;
    const QStringList names = d.names();
    const QStringList userNames = s.userLayoutNames();
    const auto add = [&d, &file](tlModalAnswerer &answerer) {
        answerer.answerFile(file);
        d.control<QPushButton>(QStringLiteral("+"))->click();
    };
    {
        tlModalAnswerer answerer;
        add(answerer);
        QCOMPARE(answerer.fileDialogFolders, QStringList{start});
        QCOMPARE(answerer.titles(), refusal.isEmpty() ? QStringList() : QStringList{title});
        QCOMPARE(answerer.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    }
    if (!refusal.isEmpty()) {
        // Nothing added, nothing lost.
        QCOMPARE(d.names(), names);
        QCOMPARE(s.userLayoutNames(), userNames);
        QCOMPARE(s.saveFileDirectory, start);
        return;
    }
    const QStringList added = {"turtle"};
    QCOMPARE(d.names(), names + added);
    QCOMPARE(d.list()->currentItem()->text(), added.first());
    QCOMPARE(s.userLayoutFile(added.first()), file);
    QCOMPARE(s.saveFileDirectory, files.path());
    // Cancel keeps the addition; the same file again starts where the last one was and
    // is refused.
    d.press(QDialogButtonBox::Cancel);
    QCOMPARE(s.userLayoutNames(), userNames + added);
    tlModalAnswerer answerer;
    add(answerer);
    QCOMPARE(answerer.fileDialogFolders, QStringList{files.path()});
    QCOMPARE(answerer.texts(), QStringList{"Layout cannot be added. A layout with the same name already exist."});
    QCOMPARE(d.names(), names + added);
}

void PreferencesTest::removeUserLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    const QString question = QStringLiteral(
        "You are about to delete one layout from the list. This will also erase the associated "
        "highscores. This cannot be undone. Continue?");
    QTest::newRow("built-in") << "Turtle" << int(QMessageBox::Ok) << "Built-in layouts cannot be removed.";
    QTest::newRow("answered No") << "Mine" << int(QMessageBox::No) << question;
    QTest::newRow("answered Yes") << "Mine" << int(QMessageBox::Yes) << question;
}

void PreferencesTest::removeUserLayout()
{
    QFETCH(QString, layout);
    QFETCH(int, answer);
    QFETCH(QString, message);
    tlSettings &s = tlSettings::instance();
    // The file has gone since it was added: removing needs only the name.
    s.addUserLayoutFile(QStringLiteral("Mine"), QDir(files.path()).filePath(QStringLiteral("deleted.tllf")));
    s.addUserLayoutFile(QStringLiteral("Other"), QStringLiteral("/elsewhere/other.tllf"));
    tlHighscoreList *highscores = tlHighscoreList::instance();
    for (const QString &name : {layout, QStringLiteral("Other")}) {
        tlHighscoreEntry entry;
        entry.layoutName = name;
        highscores->addEntry(entry);
    }
    Dialog d;
    const QStringList names = d.names();
    d.select(layout);
    {
        tlModalAnswerer answerer{QMessageBox::StandardButton(answer)};
        d.control<QPushButton>(QStringLiteral("\u2212"))->click();
        QCOMPARE(answerer.titles(), QStringList{title});
        QCOMPARE(answerer.texts(), QStringList{message});
    }
    d.press(QDialogButtonBox::Cancel);
    const bool removed = answer == QMessageBox::Yes;
    QCOMPARE(d.names().size(), names.size() - removed);
    QCOMPARE(d.names().contains(layout), !removed);
    const QStringList kept = removed ? QStringList{"Other"} : QStringList{"Mine", "Other"};
    QCOMPARE(s.userLayoutNames(), kept);
    QCOMPARE(highscores->hasLayout(layout), !removed);
    QVERIFY(highscores->hasLayout(QStringLiteral("Other")));
}

void PreferencesTest::modes()
{
    const QStringList tabTexts = {"Game Options", "Board", "Tiles", "Layouts", "Layout Designer"};
    for (const Mode mode : {Mode::Game, Mode::LayoutDesigner}) {
        Dialog d(mode);
        QCOMPARE(d.dialog.windowTitle(), title);
        QTabWidget *tabs = d.tabs();
        QCOMPARE(tabs->count(), tabTexts.size());
        const bool inGame = mode == Mode::Game;
        for (int tab = 0; tab < tabs->count(); ++tab) {
            QCOMPARE(tabs->tabText(tab), tabTexts.at(tab));
            const bool gameTab = tab != DesignerTab;
            QCOMPARE(tabs->isTabEnabled(tab), gameTab == inGame);
            // The game shows the designer's tab disabled; the designer shows nothing else.
            QCOMPARE(tabs->isTabVisible(tab), !gameTab || inGame);
        }
        QCOMPARE(tabs->currentIndex(), inGame ? int(GameOptionsTab) : int(DesignerTab));
    }
}

void PreferencesTest::idleDialogPaintsNothing()
{
    // The preview is fitted on every paint; fitting must not ask for another paint.
    Dialog d;
    d.tabs()->setCurrentIndex(LayoutsTab);
    Watcher counter(QColor(), &d.dialog);
    d.dialog.showPreferences(screenFor100);
    const int rounds = 20;
    for (int round = 0; round < rounds; ++round)
        QCoreApplication::processEvents();
    QVERIFY(counter.paints > 0);
    counter.paints = 0;
    for (int round = 0; round < rounds; ++round)
        QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
}

TILVANE_TEST_MAIN(PreferencesTest, QApplication)
#include "tst_preferences.moc"
