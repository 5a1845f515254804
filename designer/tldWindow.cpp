#include "tldWindow.h"

#include "tlHelpBrowser.h"
#include "tlPreferencesDialog.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tldAnalysisDialog.h"
#include "tldGridView.h"
#include "tldSharedSettings.h"
#include "tldTaskRunner.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Of the screen's room, what the window takes at first.
const double initialShare = 0.9;
const int panelWidth = 230;
const int statusMilliseconds = 6000;
// Enough plays for the engine's random search to find a way through a winnable deal of
// any layout that is not meant to be a riddle.
const int removalOrderPlays = 200000;
const int nameFieldWidth = 180;
const char *const problemColour = "color: #c01010;";
const char *const warningColour = "color: #b06000;";
const char *const goodColour = "color: #107010;";
const QString helpPage = QStringLiteral("designer.html");

QString coloured(const QString &text, bool fine, const char *badColour = problemColour)
{
    return QStringLiteral("<span style=\"%1\">%2</span>")
        .arg(QLatin1String(fine ? goodColour : badColour), text.toHtmlEscaped());
}

}

tldWindow::tldWindow(QWidget *parent)
    : QMainWindow(parent)
{
    const tlSettings &settings = tlSettings::instance();
    layout = std::make_unique<tldLayoutModel>(
        tldBoardLimits{settings.maxTilesHorizontal, settings.maxTilesVertical, settings.maxLayers});
    commands = std::make_unique<tldCommands>(this, layout->undoStack());
    tasks = new tldTaskRunner(this);
    buildWidgets();
    commands->buildMenus(this);
    connectCommands();
    applySettings();
    fillRecentFiles();
    updateTitle();
    updateCounts();
    updateNameFields();
    resize(screen()->availableSize() * initialShare);
}

tldWindow::~tldWindow() = default;

QString tldWindow::boxTitle()
{
    return tr("Tilvane - Layout Designer");
}

void tldWindow::buildWidgets()
{
    board = new tldGridView(*layout, this);
    auto *scroller = new QScrollArea(this);
    scroller->setWidget(board);
    scroller->setAlignment(Qt::AlignCenter);
    setCentralWidget(scroller);
    board->setFocus();

    auto *bar = addToolBar(tr("Layout"));
    bar->setObjectName(QStringLiteral("layoutBar"));
    bar->setMovable(false);
    nameField = new QLineEdit;
    nameField->setObjectName(QStringLiteral("nameField"));
    nameField->setPlaceholderText(tr("a name of its own"));
    nameField->setFixedWidth(nameFieldWidth);
    designerField = new QLineEdit;
    designerField->setObjectName(QStringLiteral("designerField"));
    designerField->setPlaceholderText(tr("your name"));
    designerField->setFixedWidth(nameFieldWidth);
    layerField = new QSpinBox;
    layerField->setObjectName(QStringLiteral("layerField"));
    bar->addWidget(new QLabel(tr(" Layout name: ")));
    bar->addWidget(nameField);
    bar->addWidget(new QLabel(tr("  Designer: ")));
    bar->addWidget(designerField);
    bar->addSeparator();
    bar->addWidget(new QLabel(tr(" Layer: ")));
    bar->addWidget(layerField);
    bar->addAction(commands->showAllLayers);
    bar->addAction(commands->placeOnTop);
    bar->addSeparator();
    bar->addAction(commands->verify);
    bar->addAction(commands->analyse);

    auto *dock = new QDockWidget(tr("Verification"), this);
    dock->setObjectName(QStringLiteral("verificationDock"));
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setWidget(makeVerificationPanel());
    addDockWidget(Qt::RightDockWidgetArea, dock);

    pointerPlace = new QLabel;
    tileCount = new QLabel;
    overlapCount = new QLabel;
    floatingCount = new QLabel;
    layerCount = new QLabel;
    verifiedMark = new QLabel;
    for (QLabel *label : {tileCount, overlapCount, floatingCount, layerCount, verifiedMark})
        label->setTextFormat(Qt::RichText);
    statusBar()->addPermanentWidget(pointerPlace);
    for (QLabel *label : {tileCount, overlapCount, floatingCount, layerCount, verifiedMark})
        statusBar()->addPermanentWidget(label);
}

QWidget *tldWindow::makeVerificationPanel()
{
    auto *panel = new QWidget;
    panel->setMaximumWidth(panelWidth);
    summary = new QLabel(tr("Not verified yet."));
    summary->setObjectName(QStringLiteral("verificationSummary"));
    summary->setWordWrap(true);
    problemList = new QListWidget;
    problemList->setObjectName(QStringLiteral("problemList"));
    problemList->setWordWrap(true);
    auto *verifyButton = new QPushButton(commands->verify->text());
    auto *orderButton = new QPushButton(commands->removalOrder->text());
    connect(verifyButton, &QPushButton::clicked, commands->verify, &QAction::trigger);
    connect(orderButton, &QPushButton::clicked, commands->removalOrder, &QAction::trigger);
    connect(problemList, &QListWidget::currentRowChanged, this, &tldWindow::showProblemTiles);
    auto *column = new QVBoxLayout(panel);
    column->addWidget(summary);
    column->addWidget(problemList);
    column->addWidget(verifyButton);
    column->addWidget(orderButton);
    return panel;
}

void tldWindow::connectCommands()
{
    tldCommands &c = *commands;
    connect(c.newLayout, &QAction::triggered, this, &tldWindow::newLayout);
    connect(c.open, &QAction::triggered, this, &tldWindow::chooseAndOpen);
    connect(c.save, &QAction::triggered, this, &tldWindow::save);
    connect(c.saveAs, &QAction::triggered, this, &tldWindow::saveAs);
    connect(c.tryInGame, &QAction::triggered, this, &tldWindow::tryInGame);
    connect(c.quit, &QAction::triggered, this, &QWidget::close);
    for (const QString &name : tlSettings::builtInLayouts()) {
        QAction *entry = c.builtInLayouts->addAction(name);
        connect(entry, &QAction::triggered, this, [this, name] { openBuiltIn(name); });
    }

    connect(c.cut, &QAction::triggered, this, [this] {
        copySelection();
        if (!layout->removeTiles(layout->selection()))
            tell(layout->refusal());
    });
    connect(c.copy, &QAction::triggered, this, &tldWindow::copySelection);
    connect(c.paste, &QAction::triggered, this, &tldWindow::pasteCopied);
    connect(c.remove, &QAction::triggered, this, [this] {
        if (!layout->removeTiles(layout->selection()))
            tell(layout->refusal());
    });
    connect(c.selectAll, &QAction::triggered, this, [this] {
        QSet<int> all;
        for (int i = 0; i < layout->tileCount(); ++i)
            all.insert(i);
        layout->select(all);
    });
    connect(c.mirrorLeftRight, &QAction::triggered, this, [this] { mirror(Qt::Horizontal); });
    connect(c.mirrorTopBottom, &QAction::triggered, this, [this] { mirror(Qt::Vertical); });
    connect(c.preferences, &QAction::triggered, this, [this] {
        if (!preferences) {
            preferences = new tlPreferencesDialog(this, tlPreferencesDialog::Mode::LayoutDesigner);
            connect(preferences, &tlPreferencesDialog::preferencesChanged, this, [this] {
                applySettings();
                rememberSettings();
            });
        }
        preferences->showPreferences(tlSettings::instance().tileHeight);
    });

    connect(c.layerUp, &QAction::triggered, this,
            [this] { board->setCurrentLayer(board->currentLayer() + 1); });
    connect(c.layerDown, &QAction::triggered, this,
            [this] { board->setCurrentLayer(board->currentLayer() - 1); });
    c.showAllLayers->setChecked(true);
    connect(c.showAllLayers, &QAction::toggled, board, &tldGridView::setShowAllLayers);
    connect(c.placeOnTop, &QAction::toggled, this, [this](bool on) {
        tlSettings::instance().autoInsertTopLayer = on;
        board->setLayering(on ? tldLayering::LandOnTop : tldLayering::KeepLayers);
    });
    connect(c.transparentBackground, &QAction::toggled, this, [this](bool on) {
        tlSettings::instance().transparentBackground = on;
        applySettings();
    });

    connect(c.verify, &QAction::triggered, this, &tldWindow::verify);
    connect(c.removalOrder, &QAction::triggered, this, &tldWindow::findRemovalOrder);
    connect(c.analyse, &QAction::triggered, this, [this] {
        if (!analysis) {
            analysis = new tldAnalysisDialog(*layout, *tasks, this);
            connect(analysis, &tldAnalysisDialog::settingsChanged, this, &tldWindow::rememberSettings);
        }
        analysis->showForLayout();
    });
    connect(c.help, &QAction::triggered, this, &tldWindow::showHelp);
    connect(c.about, &QAction::triggered, this, &tldWindow::showAbout);

    connect(layout.get(), &tldLayoutModel::tilesChanged, this, [this] {
        updateCounts();
        updateLayerRange();
        // What the last verification found is out of date once the tiles change.
        showVerification({}, layout->isVerified() ? tr("Verified.") : tr("Not verified yet."));
    });
    connect(layout.get(), &tldLayoutModel::selectionChanged, this, &tldWindow::updateCounts);
    connect(layout.get(), &tldLayoutModel::textsChanged, this, &tldWindow::updateNameFields);
    connect(layout.get(), &tldLayoutModel::textsChanged, this, &tldWindow::updateTitle);
    connect(layout.get(), &tldLayoutModel::fileNameChanged, this, &tldWindow::updateTitle);
    connect(layout->undoStack(), &QUndoStack::cleanChanged, this, &tldWindow::updateTitle);
    connect(nameField, &QLineEdit::textEdited, layout.get(), &tldLayoutModel::setName);
    connect(designerField, &QLineEdit::textEdited, layout.get(), &tldLayoutModel::setDesigner);
    connect(layerField, QOverload<int>::of(&QSpinBox::valueChanged), board, &tldGridView::setCurrentLayer);
    connect(board, &tldGridView::currentLayerChanged, layerField, &QSpinBox::setValue);
    connect(board, &tldGridView::refused, this, &tldWindow::tell);
    connect(board, &tldGridView::pointerMoved, pointerPlace, &QLabel::setText);
}

void tldWindow::applySettings()
{
    const tlSettings &settings = tlSettings::instance();
    layout->setLimits({settings.maxTilesHorizontal, settings.maxTilesVertical, settings.maxLayers});
    const bool pictures = board->setAppearance({QSize(settings.gridWidth, settings.gridHeight),
                                                settings.gridOffset, settings.tileStyle,
                                                settings.transparentBackground,
                                                settings.backgroundColor});
    if (!pictures)
        tell(tr("The tile pictures could not be read; tiles are drawn as plain blocks."));
    board->setLayering(settings.autoInsertTopLayer ? tldLayering::LandOnTop : tldLayering::KeepLayers);
    commands->placeOnTop->setChecked(settings.autoInsertTopLayer);
    commands->transparentBackground->setChecked(settings.transparentBackground);
    updateLayerRange();
}

void tldWindow::rememberSettings()
{
    if (!tldSharedSettings::save())
        tell(tr("The settings could not be saved to '%1'.").arg(tlSettings::instance().storeFileName()));
}

void tldWindow::updateLayerRange()
{
    layerField->setRange(1, std::max(1, layout->limits().layers));
    layerField->setValue(board->currentLayer());
}

void tldWindow::updateTitle()
{
    setWindowTitle(tr("%1[*] - Tilvane Layout Designer").arg(layoutTitle()));
    setWindowModified(layout->isModified());
}

QString tldWindow::layoutTitle() const
{
    if (!layout->fileName().isEmpty())
        return QFileInfo(layout->fileName()).fileName();
    return layout->name().isEmpty() ? tr("Untitled") : tr("%1 (not saved)").arg(layout->name());
}

void tldWindow::updateNameFields()
{
    // Only what differs: setting the same text would move the author's cursor.
    if (nameField->text() != layout->name())
        nameField->setText(layout->name());
    if (designerField->text() != layout->designer())
        designerField->setText(layout->designer());
}

void tldWindow::updateCounts()
{
    const int tiles = layout->tileCount();
    tileCount->setText(coloured(tr("Tiles: %1 of %2").arg(tiles).arg(tle::setSize), tiles == tle::setSize));
    overlapCount->setText(coloured(tr("Overlapping: %1").arg(layout->overlapping().size()),
                                   layout->overlapping().isEmpty()));
    floatingCount->setText(coloured(tr("Floating: %1").arg(layout->floating().size()),
                                    layout->floating().isEmpty(), warningColour));
    layerCount->setText(tr("Layers: %1").arg(layout->highestLayer()));
    verifiedMark->setText(coloured(layout->isVerified() ? tr("Verified") : tr("Not verified"),
                                   layout->isVerified(), warningColour));
    const bool someSelected = !layout->selection().isEmpty();
    for (QAction *action : {commands->cut, commands->copy, commands->remove,
                            commands->mirrorLeftRight, commands->mirrorTopBottom})
        action->setEnabled(someSelected);
}

void tldWindow::tell(const QString &text)
{
    statusBar()->showMessage(text, statusMilliseconds);
}

void tldWindow::copySelection()
{
    copied.clear();
    QList<int> chosen = layout->selection().values();
    std::sort(chosen.begin(), chosen.end());
    for (int index : chosen)
        copied.append(layout->positions().at(index));
    tell(copied.size() == 1 ? tr("1 tile copied.") : tr("%1 tiles copied.").arg(copied.size()));
}

void tldWindow::pasteCopied()
{
    if (copied.isEmpty()) {
        tell(tr("Copy some tiles first."));
        return;
    }
    const auto lowest = [this](auto member) {
        return std::min_element(copied.begin(), copied.end(),
                                [member](auto &a, auto &b) { return a.*member < b.*member; })->*member;
    };
    // At the pointer when it is on the board, else a tile to the right and below.
    const std::optional<QPoint> place = board->hoveredPlace();
    const int wholeTile = 2;
    const int dx = place ? place->x() - lowest(&tlTilePosition::x) : wholeTile;
    const int dy = place ? place->y() - lowest(&tlTilePosition::y) : wholeTile;
    const bool onTop = tlSettings::instance().autoInsertTopLayer;
    QVector<tlTilePosition> tiles = copied;
    if (!onTop) {
        // The copied tiles' lowest layer goes to the current layer.
        const int rise = board->currentLayer() - lowest(&tlTilePosition::layer);
        for (tlTilePosition &p : tiles)
            p.layer += rise;
    }
    if (!layout->pasteTiles(tiles, dx, dy, onTop ? tldLayering::LandOnTop : tldLayering::KeepLayers))
        tell(layout->refusal());
}

void tldWindow::mirror(Qt::Orientation orientation)
{
    if (!layout->mirrorTiles(layout->selection(), orientation))
        tell(layout->refusal());
}

void tldWindow::verify()
{
    const QVector<tlTilePosition> tiles = layout->positions();
    const QVector<tldProblem> shape = tldVerifier::shapeProblems(tiles);
    if (!shape.isEmpty()) {
        reportVerification(shape, shape.size() == 1
                                      ? tr("Not verified: the layout breaks a rule.")
                                      : tr("Not verified: the layout breaks %1 rules.").arg(shape.size()));
        return;
    }
    tasks->run<tldVerifier::Outcome>(
        this, tr("Dealing a winnable game on the layout..."), tldVerifier::dealRounds,
        [tiles](tldProgress &progress) { return tldVerifier::findWinnableDeal(tiles, progress); },
        [this, tiles](const tldVerifier::Outcome &outcome) {
            if (outcome.verdict == tldVerifier::Verdict::Winnable) {
                layout->markVerified(tiles);
                reportVerification({}, tr("Verified: the layout keeps every rule and the engine "
                                          "dealt a winnable game on it. Save it to keep the mark."));
            } else if (outcome.verdict == tldVerifier::Verdict::Canceled) {
                tell(outcome.text);
            } else {
                reportVerification({{outcome.text, {}}}, tr("Not verified."));
            }
        });
}

void tldWindow::reportVerification(const QVector<tldProblem> &found, const QString &text)
{
    showVerification(found, text);
    tell(text);
}

void tldWindow::showVerification(const QVector<tldProblem> &found, const QString &text)
{
    problems = found;
    summary->setText(text);
    problemList->clear();
    for (const tldProblem &problem : problems)
        problemList->addItem(problem.text);
}

void tldWindow::showProblemTiles(int row)
{
    if (row < 0 || row >= problems.size() || problems.at(row).tiles.isEmpty())
        return;
    layout->select(problems.at(row).tiles);
    // The lowest layer concerned, with everything above it in sight.
    int lowest = std::numeric_limits<int>::max();
    for (int index : problems.at(row).tiles) {
        if (index < layout->tileCount())
            lowest = std::min(lowest, int(layout->positions().at(index).layer));
    }
    board->setCurrentLayer(lowest);
}

void tldWindow::findRemovalOrder()
{
    const QVector<tlTilePosition> tiles = layout->positions();
    tasks->run<tldVerifier::RemovalOrder>(
        this, tr("Searching an order in which the tiles come away..."), removalOrderPlays,
        [tiles](tldProgress &progress) {
            return tldVerifier::findRemovalOrder(tiles, removalOrderPlays, progress);
        },
        [this](const tldVerifier::RemovalOrder &order) {
            if (order.isEmpty()) {
                tell(tr("No order found in which all tiles come away in pairs."));
                return;
            }
            board->setCurrentLayer(layout->highestLayer());
            board->showRemovalOrder(order);
            tell(tr("The numbers show which pairs can be taken away, first pair first."));
        });
}

void tldWindow::showHelp()
{
    if (!helpBrowser) {
        QString problem;
        helpBrowser = tlHelpBrowser::forInstalledDocs(problem);
        if (!helpBrowser) {
            QMessageBox::warning(this, boxTitle(), problem);
            return;
        }
    }
    helpBrowser->showPage(helpPage);
    helpBrowser->show();
    helpBrowser->raise();
}

void tldWindow::showAbout()
{
    QMessageBox::about(this, tr("About Layout Designer"),
                       tr("<h3>Tilvane Layout Designer %1</h3>"
                          "<p>Draws layouts for Tilvane, checks that they can be played and "
                          "won, and tells how hard they are.</p>")
                           .arg(QLatin1String(tl::version)));
}

void tldWindow::closeEvent(QCloseEvent *event)
{
    if (tasks->isBusy()) {
        tell(tr("Cancel the work under way before closing the designer."));
        event->ignore();
        return;
    }
    if (!maySetLayoutAside()) {
        event->ignore();
        return;
    }
    rememberSettings();
    event->accept();
}
