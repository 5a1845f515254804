#include "tlPreferencesDialog.h"

#include "tlDiagnostics.h"
#include "tlHighscoreList.h"
#include "tlUserLayoutCheck.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpacerItem>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>

struct tlPreferenceOption
{
    const char *text;
    bool tlSettings::*current;
    const bool tlSettings::*fallback;
};

struct tlPreferenceNumber
{
    const char *label;
    int tlSettings::*current;
    const int tlSettings::*fallback;
    tlSettings::Range range;
    int step;
};

namespace {

const QSize initialSize(500, 300);
const QSize colourSampleSize(60, 26);
const QSize exampleSize(200, 150);
const QSize layoutListSize(200, 1000);
// Low enough for the preview to shrink with the dialog; its height follows the list's.
const int lowestPreview = 1;
const int previewGap = 20;
const int previewRoom = 300;
const int layoutButtonGap = 10;
// Until the window tells the height its screen takes.
const int initialMaxTileHeight = 200;
// The combo box of the background colour.
enum BackgroundChoice { DefaultColour, NewColour, CurrentColour };

// The ranges the settings store accepts for these values.
const int gridStep = 2;
const int unitStep = 1;

const tlPreferenceOption gameOptions[] = {
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Hint command also reports number of possible moves"),
     &tlSettings::hintAlsoReportsTotalMoves, &tlSettings::defaultHintAlsoReportsTotalMoves},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Show name of selected tile in status bar"),
     &tlSettings::showSelectedTileName, &tlSettings::defaultShowSelectedTileName},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Announce dead end (no more moves)"),
     &tlSettings::announceNoMoreMoves, &tlSettings::defaultAnnounceNoMoreMoves},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Generate only winnable games"),
     &tlSettings::winnableGameMode, &tlSettings::defaultWinnableGameMode},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Start with last game played when launched"),
     &tlSettings::startWithLastGamePlayedAtLaunch, &tlSettings::defaultStartWithLastGamePlayedAtLaunch},
};

const tlPreferenceNumber frameField = {
    QT_TRANSLATE_NOOP("tlPreferencesDialog", "Frame Width (Offset) Around Tile Layout"),
    &tlSettings::boardFrameWidth, &tlSettings::defaultBoardFrameWidth, tlSettings::boardFrameWidthRange,
    unitStep};

const tlPreferenceNumber designerFields[] = {
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Grid Width:"), &tlSettings::gridWidth,
     &tlSettings::defaultGridWidth, tlSettings::gridWidthRange, gridStep},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Grid Height:"), &tlSettings::gridHeight,
     &tlSettings::defaultGridHeight, tlSettings::gridHeightRange, gridStep},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Grid Offset:"), &tlSettings::gridOffset,
     &tlSettings::defaultGridOffset, tlSettings::gridOffsetRange, unitStep},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Maximum Number of Vertical Tiles:"),
     &tlSettings::maxTilesVertical, &tlSettings::defaultMaxTilesVertical, tlSettings::tilesAcrossRange,
     unitStep},
    {QT_TRANSLATE_NOOP("tlPreferencesDialog", "Maximum Number of Horizontal Tiles:"),
     &tlSettings::maxTilesHorizontal, &tlSettings::defaultMaxTilesHorizontal, tlSettings::tilesAcrossRange,
     unitStep},
};

const tlPreferenceOption designerOption = {
    QT_TRANSLATE_NOOP("tlPreferencesDialog", "Auto set layer when tile is inserted or moved"),
    &tlSettings::autoInsertTopLayer, &tlSettings::defaultAutoInsertTopLayer};

// By style number: the tile set's name in the chooser and in its example pictures.
const char *const styleTitles[] = {
    QT_TRANSLATE_NOOP("tlPreferencesDialog", "Classic"),
    QT_TRANSLATE_NOOP("tlPreferencesDialog", "Modern"),
    QT_TRANSLATE_NOOP("tlPreferencesDialog", "Picasso"),
};
static_assert(std::size(styleTitles) == tl::tileStyles.size(), "a title for every tile set");
const char *const exampleStems[] = {"Bamboo_1", "Wind_East"};

const QString userLayoutPicture = QStringLiteral("UserLayout");

QString previewPicturePath(const QString &layoutName)
{
    return QStringLiteral(":/images/%1_Preview.png")
        .arg(tlSettings::isBuiltInLayout(layoutName) ? layoutName : userLayoutPicture);
}

bool controlValue(const QCheckBox *box) { return box->isChecked(); }
int controlValue(const QSpinBox *box) { return box->value(); }
void setControlValue(QCheckBox *box, bool value) { box->setChecked(value); }
void setControlValue(QSpinBox *box, int value) { box->setValue(value); }

// Writes `value` when it differs; tells whether it did.
template <typename Value>
bool writeIfChanged(Value &setting, const Value &value)
{
    if (setting == value)
        return false;
    setting = value;
    return true;
}

// A remembered folder that is gone would leave the chooser somewhere arbitrary.
QString startFolder(const QString &remembered)
{
    return !remembered.isEmpty() && QDir(remembered).exists() ? remembered : QDir::homePath();
}

// A form for the page's rows, kept together at the top when the dialog grows taller.
QFormLayout *formAtTop(QWidget *page)
{
    auto *column = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    column->addLayout(form);
    column->addStretch();
    return form;
}

void centreAt(QGraphicsPixmapItem *item, const QPointF &centre)
{
    item->setPos(centre - item->boundingRect().center());
}

}

tlTileSizeScale::tlTileSizeScale(int usualHeight, int maxTileHeight)
    : top(maxTileHeight)
{
    // On a screen too small for the usual height the middle stands at three quarters of
    // the largest height.
    const double smallScreenShare = 0.75;
    base = maxTileHeight < usualHeight ? int(maxTileHeight * smallScreenShare) : usualHeight;
}

int tlTileSizeScale::height(int position) const
{
    const int stepsAbove = lastPosition - middlePosition;
    // Whole steps' worth rounded down. The product is a whole number and a double holds
    // its fifths exactly enough, so the last position gives the top height itself.
    const double offset = std::floor(double(position - middlePosition) * (qint64(top) - base) / stepsAbove);
    return int(std::max(double(legibleHeight), base + offset));
}

int tlTileSizeScale::position(int tileHeight) const
{
    // The usual height keeps the middle even where all positions give the same height.
    if (tileHeight == base)
        return middlePosition;
    int nearest = firstPosition;
    for (int candidate = firstPosition + 1; candidate <= lastPosition; ++candidate) {
        if (std::abs(qint64(height(candidate)) - tileHeight) <= std::abs(qint64(height(nearest)) - tileHeight))
            nearest = candidate;
    }
    return nearest;
}

tlPreferencesDialog::tlPreferencesDialog(QWidget *parent, Mode mode)
    : QDialog(parent)
    , settings(tlSettings::instance())
    , maxTileHeight(initialMaxTileHeight)
    , workingStyle(settings.tileStyle)
    , workingHeight(settings.tileHeight)
{
    setWindowTitle(tr("Tilvane - Preferences"));

    auto *tabs = new QTabWidget(this);
    const bool inGame = mode == Mode::Game;
    tabs->addTab(makeGameOptionsTab(), tr("Game Options"));
    tabs->addTab(makeBoardTab(), tr("Board"));
    tabs->addTab(makeTilesTab(), tr("Tiles"));
    tabs->addTab(makeLayoutsTab(), tr("Layouts"));
    const int designerIndex = tabs->addTab(makeLayoutDesignerTab(), tr("Layout Designer"));
    // The designer program has no use for the game's tabs, not even to look at.
    for (int gameTab = 0; gameTab < designerIndex; ++gameTab) {
        tabs->setTabEnabled(gameTab, inGame);
        tabs->setTabVisible(gameTab, inGame);
    }
    tabs->setTabEnabled(designerIndex, !inGame);
    tabs->setCurrentIndex(inGame ? 0 : designerIndex);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &tlPreferencesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &tlPreferencesDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    layoutChooser = new QFileDialog(this, tr("Tilvane - Open Layout"), settings.saveFileDirectory,
                                    tr("Layout Files (*.tllf);;Text files (*.txt);;XML files (*.xml)"));
    layoutChooser->setFileMode(QFileDialog::ExistingFile);
    layoutChooser->setViewMode(QFileDialog::List);
    layoutChooser->setOption(QFileDialog::ReadOnly);
    layoutChooser->setAcceptMode(QFileDialog::AcceptOpen);

    takeSettings();
    resize(initialSize);
}

QCheckBox *tlPreferencesDialog::addCheckBox(const tlPreferenceOption &option, const QWidget *page)
{
    auto *box = new QCheckBox(tr(option.text));
    checkBoxes.push_back({box, option.current, option.fallback, page});
    return box;
}

QSpinBox *tlPreferencesDialog::addSpinBox(const tlPreferenceNumber &number, const QWidget *page)
{
    auto *spinBox = new QSpinBox;
    spinBox->setRange(number.range.lowest, number.range.highest);
    spinBox->setSingleStep(number.step);
    spinBoxes.push_back({spinBox, number.current, number.fallback, page});
    return spinBox;
}

QWidget *tlPreferencesDialog::makeGameOptionsTab()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    for (const tlPreferenceOption &option : gameOptions)
        column->addWidget(addCheckBox(option, page));
    column->addStretch();
    return page;
}

QWidget *tlPreferencesDialog::makeBoardTab()
{
    auto *page = new QWidget;
    boardTab = page;

    colourSample = new QGraphicsScene(page);
    auto *sampleView = new QGraphicsView(colourSample);
    sampleView->setFixedSize(colourSampleSize);
    sampleView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sampleView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sampleView->setInteractive(false);
    sampleView->setFocusPolicy(Qt::NoFocus);

    backgroundChooser = new QComboBox;
    backgroundChooser->addItems({tr("Default"), tr("New"), tr("Current")});
    connect(backgroundChooser, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &tlPreferencesDialog::backgroundColorComboBoxChanged);

    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(sampleView);
    colourRow->addWidget(backgroundChooser);
    colourRow->addStretch();

    auto *reset = new QPushButton(tr("Set Default Values"));
    connect(reset, &QPushButton::pressed, this, &tlPreferencesDialog::resetBoardTabValues);

    QFormLayout *form = formAtTop(page);
    form->addRow(tr("Background Color:"), colourRow);
    form->addRow(tr(frameField.label), addSpinBox(frameField, page));
    form->addRow(reset);
    return page;
}

QWidget *tlPreferencesDialog::makeTilesTab()
{
    auto *page = new QWidget;

    tileSetChooser = new QComboBox;
    for (const char *title : styleTitles)
        tileSetChooser->addItem(tr(title));
    connect(tileSetChooser, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &tlPreferencesDialog::tileStyleComboBoxIndexChanged);

    tileSizeSlider = new QSlider(Qt::Horizontal);
    tileSizeSlider->setRange(tlTileSizeScale::firstPosition, tlTileSizeScale::lastPosition);
    tileSizeSlider->setSingleStep(unitStep);
    tileSizeSlider->setTickInterval(unitStep);
    tileSizeSlider->setTickPosition(QSlider::TicksBelow);
    // Every position scales two large pictures; only the one let go of counts.
    tileSizeSlider->setTracking(false);
    connect(tileSizeSlider, &QSlider::valueChanged, this, &tlPreferencesDialog::tileSizeSliderChanged);

    exampleScene = new QGraphicsScene(QRectF(QPointF(0, 0), exampleSize), page);
    for (QGraphicsPixmapItem *&tile : exampleTiles)
        tile = exampleScene->addPixmap(QPixmap());
    auto *exampleView = new QGraphicsView(exampleScene);
    exampleView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    exampleView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    exampleView->setInteractive(false);
    exampleView->setFocusPolicy(Qt::NoFocus);
    const int frame = 2 * exampleView->frameWidth();
    exampleView->setFixedSize(exampleSize + QSize(frame, frame));

    QFormLayout *form = formAtTop(page);
    form->addRow(tr("Tile Set:"), tileSetChooser);
    form->addRow(tr("Tile Size:"), tileSizeSlider);
    form->addRow(exampleView);
    return page;
}

QWidget *tlPreferencesDialog::makeLayoutsTab()
{
    auto *page = new QWidget;

    layoutList = new QListWidget;
    layoutList->setSelectionMode(QAbstractItemView::SingleSelection);
    layoutList->setSortingEnabled(false);
    layoutList->setMaximumSize(layoutListSize);
    layoutList->addItems(tlSettings::builtInLayouts());
    for (const QString &name : settings.userLayoutNames()) {
        if (!tlSettings::isBuiltInLayout(name))
            layoutList->addItem(name);
    }
    connect(layoutList, &QListWidget::currentItemChanged, this, &tlPreferencesDialog::displayLayoutPreview);

    preview = new QLabel;
    preview->setScaledContents(true);
    preview->setMinimumHeight(lowestPreview);

    auto *add = new QPushButton(tr("+"));
    auto *remove = new QPushButton(tr("\u2212"));
    connect(add, &QPushButton::released, this, &tlPreferencesDialog::addUserLayout);
    connect(remove, &QPushButton::released, this, &tlPreferencesDialog::removeUserLayout);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(0);
    buttonRow->addWidget(add);
    buttonRow->addSpacing(layoutButtonGap);
    buttonRow->addWidget(remove);

    auto *grid = new QGridLayout(page);
    grid->addWidget(layoutList, 0, 0);
    grid->addItem(new QSpacerItem(previewGap, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, 1);
    grid->addWidget(preview, 0, 2);
    grid->addItem(new QSpacerItem(previewRoom, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 3);
    grid->addLayout(buttonRow, 1, 0);
    return page;
}

QWidget *tlPreferencesDialog::makeLayoutDesignerTab()
{
    auto *page = new QWidget;
    designerTab = page;
    QFormLayout *form = formAtTop(page);
    for (const tlPreferenceNumber &field : designerFields)
        form->addRow(tr(field.label), addSpinBox(field, page));
    form->addRow(addCheckBox(designerOption, page));
    auto *reset = new QPushButton(tr("Set Default Values"));
    connect(reset, &QPushButton::pressed, this, &tlPreferencesDialog::resetLayoutDesignerTabValues);
    form->addRow(reset);
    return page;
}

template <typename Visit>
void tlPreferencesDialog::forEachBinding(Visit visit)
{
    for (auto &binding : checkBoxes)
        visit(binding);
    for (auto &binding : spinBoxes)
        visit(binding);
}

void tlPreferencesDialog::takeSettings()
{
    forEachBinding([this](auto &binding) { setControlValue(binding.control, settings.*binding.current); });
    {
        const QSignalBlocker blocker(backgroundChooser);
        backgroundChooser->setCurrentIndex(CurrentColour);
    }
    showSampleColour(settings.backgroundColor);

    workingStyle = settings.tileStyle;
    workingHeight = settings.tileHeight;
    {
        // The controls only show the stored values; moving them is what edits.
        const QSignalBlocker styleBlocker(tileSetChooser);
        const QSignalBlocker sizeBlocker(tileSizeSlider);
        tileSetChooser->setCurrentIndex(tl::tileStyleNumber(workingStyle));
        tileSizeSlider->setValue(
            tlTileSizeScale(settings.defaultTileHeight, maxTileHeight).position(workingHeight));
    }
    setupTileExamples(workingStyle, workingHeight);
}

void tlPreferencesDialog::showPreferences(int maxHeight)
{
    maxTileHeight = maxHeight;
    takeSettings();
    for (int row = 0; row < layoutList->count(); ++row) {
        QListWidgetItem *item = layoutList->item(row);
        if (item->text().startsWith(settings.layoutName, Qt::CaseInsensitive)) {
            layoutList->setCurrentItem(item);
            break;
        }
    }
    show();
    raise();
    activateWindow();
}

void tlPreferencesDialog::accept()
{
    int changes = 0;
    forEachBinding([this, &changes](auto &binding) {
        changes += writeIfChanged(settings.*binding.current, controlValue(binding.control));
    });
    changes += writeIfChanged(settings.backgroundColor, sampleColour());
    changes += writeIfChanged(settings.tileStyle, workingStyle);
    changes += writeIfChanged(settings.tileHeight, workingHeight);
    if (const QListWidgetItem *current = layoutList->currentItem())
        changes += writeIfChanged(settings.layoutName, current->text().trimmed());
    QDialog::accept();
    if (changes > 0)
        emit preferencesChanged();
}

void tlPreferencesDialog::reject()
{
    takeSettings();
    QDialog::reject();
}

void tlPreferencesDialog::showSampleColour(const QColor &colour)
{
    colourSample->setBackgroundBrush(colour);
}

QColor tlPreferencesDialog::sampleColour() const
{
    return colourSample->backgroundBrush().color();
}

void tlPreferencesDialog::backgroundColorComboBoxChanged(int index)
{
    if (index == DefaultColour) {
        showSampleColour(settings.defaultBackgroundColor);
    } else if (index == NewColour) {
        const QColor chosen = QColorDialog::getColor(sampleColour(), this, tr("bla"));
        // A cancelled chooser answers with an invalid colour: the sample keeps its own.
        // The store keeps opaque red, green and blue only.
        if (chosen.isValid())
            showSampleColour(QColor::fromRgb(chosen.rgb()));
    }
}

void tlPreferencesDialog::resetToDefaults(const QWidget *page)
{
    forEachBinding([this, page](auto &binding) {
        if (binding.page == page)
            setControlValue(binding.control, settings.*binding.fallback);
    });
}

void tlPreferencesDialog::resetBoardTabValues()
{
    resetToDefaults(boardTab);
    showSampleColour(settings.defaultBackgroundColor);
    const QSignalBlocker blocker(backgroundChooser);
    backgroundChooser->setCurrentIndex(CurrentColour);
}

void tlPreferencesDialog::resetLayoutDesignerTabValues()
{
    resetToDefaults(designerTab);
}

void tlPreferencesDialog::tileStyleComboBoxIndexChanged(int index)
{
    workingStyle = tl::tileStyleFromNumber(index).value_or(tl::tileStyles.back());
    setupTileExamples(workingStyle, workingHeight);
}

void tlPreferencesDialog::tileSizeSliderChanged(int position)
{
    workingHeight = tlTileSizeScale(settings.defaultTileHeight, maxTileHeight).height(position);
    setupTileExamples(workingStyle, workingHeight);
}

void tlPreferencesDialog::setupTileExamples(tlTileStyle style, int height)
{
    int number = tl::tileStyleNumber(style);
    if (!tl::tileStyleFromNumber(number)) {
        tl::diagnose("tlPreferencesDialog::setupTileExamples",
                     {QStringLiteral("unknown style '%1'. Falling back to 'classic'.").arg(number)});
        number = tl::tileStyleNumber(tlTileStyle::Classic);
    }
    const qreal pixelRatio = devicePixelRatioF();
    const QRectF room = exampleScene->sceneRect();
    for (size_t i = 0; i < exampleTiles.size(); ++i) {
        QImage picture(QStringLiteral(":/images/%1_%2_normal.png")
                           .arg(QLatin1String(styleTitles[number]), QLatin1String(exampleStems[i])));
        if (!picture.isNull()) {
            picture = picture.scaledToHeight(int(height * pixelRatio), Qt::SmoothTransformation);
            picture.setDevicePixelRatio(pixelRatio);
        }
        exampleTiles[i]->setPixmap(QPixmap::fromImage(picture));
        // The first tile in the middle of the left half, the second in that of the right.
        centreAt(exampleTiles[i], QPointF(room.width() * (2 * i + 1) / 4, room.height() / 2));
    }
}

void tlPreferencesDialog::displayLayoutPreview(QListWidgetItem *current, QListWidgetItem *)
{
    // A list out of sight has no height of its own yet; the preview fits it once shown.
    if (!current || !layoutList->isVisible())
        return;
    // Called on every paint: anything set here that is already so would repaint the
    // dialog, and so call this again, for ever.
    const QString path = previewPicturePath(current->text());
    if (path != previewPath) {
        const QPixmap picture(path);
        if (picture.isNull())
            return;
        previewPath = path;
        previewSize = picture.size();
        preview->setPixmap(picture);
    }
    // As high as the list, and as wide as the picture's proportions want: a narrow
    // dialog widens rather than squeeze it.
    const int height = layoutList->height();
    preview->setFixedWidth(int(qint64(previewSize.width()) * height / previewSize.height()));
    preview->setMaximumHeight(height);
}

void tlPreferencesDialog::displayCurrentLayoutPreview()
{
    displayLayoutPreview(layoutList->currentItem(), nullptr);
}

bool tlPreferencesDialog::event(QEvent *event)
{
    if (event->type() == QEvent::Paint || event->type() == QEvent::PolishRequest)
        displayCurrentLayoutPreview();
    return QDialog::event(event);
}

void tlPreferencesDialog::warn(const QString &text)
{
    QMessageBox::warning(this, windowTitle(), text, QMessageBox::Ok);
}

void tlPreferencesDialog::addUserLayout()
{
    layoutChooser->setDirectory(startFolder(settings.saveFileDirectory));
    if (layoutChooser->exec() != QDialog::Accepted || layoutChooser->selectedFiles().isEmpty())
        return;
    const QString path = layoutChooser->selectedFiles().constFirst();
    QString name;
    const QString problem = tlUserLayoutCheck::problem(path, &name);
    if (!problem.isEmpty()) {
        warn(problem);
        return;
    }
    auto *item = new QListWidgetItem(name, layoutList);
    layoutList->setCurrentItem(item);
    tlUserLayoutCheck::add(name, path);
}

void tlPreferencesDialog::removeUserLayout()
{
    const QList<QListWidgetItem *> selected = layoutList->selectedItems();
    if (selected.isEmpty())
        return;
    // The list selects one item at most.
    QListWidgetItem *item = selected.constFirst();
    if (tlSettings::isBuiltInLayout(item->text())) {
        QMessageBox::information(this, windowTitle(), tr("Built-in layouts cannot be removed."),
                                 QMessageBox::Ok);
        return;
    }
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        tr("You are about to delete one layout from the list. This will also erase the associated "
           "highscores. This cannot be undone. Continue?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const QString name = item->text();
    settings.removeUserLayoutFile(name);
    tlHighscoreList::instance()->removeLayout(name);
    delete item;
}
