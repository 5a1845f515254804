#ifndef TLPREFERENCESDIALOG_H
#define TLPREFERENCESDIALOG_H

#include "tlSettings.h"
#include "tlTilePictures.h"

#include <QDialog>
#include <QSize>
#include <QString>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGraphicsPixmapItem;
class QGraphicsScene;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QSlider;
class QSpinBox;
// A check box's or spin box's setting, its default and its range; tables in the source.
struct tlPreferenceOption;
struct tlPreferenceNumber;

// The tile size slider's positions against tile heights: the usual height in the middle,
// the largest height the screen takes at the top, even steps between. Positions far
// below the middle would make tiles vanish on a large screen; they stop at a height a
// player can still read.
class tlTileSizeScale
{
public:
    static constexpr int firstPosition = 1;
    static constexpr int middlePosition = 5;
    static constexpr int lastPosition = 10;
    static constexpr int legibleHeight = 20;

    tlTileSizeScale(int usualHeight, int maxTileHeight);

    int height(int position) const;
    // The position whose height comes nearest; the larger one when two are as near.
    int position(int height) const;

private:
    int base;
    int top;
};

// Edits the player's preferences on tabs. The game uses every tab but the layout
// designer's; the layout designer program uses only its own. The controls work on
// copies that OK writes to the settings; only the adding and removing of the player's
// own layouts take effect at once.
class tlPreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Game, LayoutDesigner };

    explicit tlPreferencesDialog(QWidget *parent, Mode mode = Mode::Game);

    // Refreshes every control from the settings and shows the dialog without making it
    // modal. `maxTileHeight` is the largest tile height the window can show.
    void showPreferences(int maxTileHeight);
    void setupTileExamples(tlTileStyle style, int height);

signals:
    void preferencesChanged();

public slots:
    void accept() override;
    void reject() override;
    void backgroundColorComboBoxChanged(int index);
    void resetBoardTabValues();
    void resetLayoutDesignerTabValues();
    void tileStyleComboBoxIndexChanged(int index);
    void tileSizeSliderChanged(int position);
    void displayLayoutPreview(QListWidgetItem *current, QListWidgetItem *previous);
    void displayCurrentLayoutPreview();
    void addUserLayout();
    void removeUserLayout();

protected:
    // Paint events and polish requests fit the preview to the list's height.
    bool event(QEvent *event) override;

private:
    // A control and the setting it edits; `page` is the tab whose "Set Default Values"
    // resets it.
    template <typename Control, typename Value>
    struct Binding
    {
        Control *control;
        Value tlSettings::*current;
        const Value tlSettings::*fallback;
        const QWidget *page;
    };

    QWidget *makeGameOptionsTab();
    QWidget *makeBoardTab();
    QWidget *makeTilesTab();
    QWidget *makeLayoutsTab();
    QWidget *makeLayoutDesignerTab();
    QCheckBox *addCheckBox(const tlPreferenceOption &option, const QWidget *page);
    QSpinBox *addSpinBox(const tlPreferenceNumber &number, const QWidget *page);
    template <typename Visit>
    void forEachBinding(Visit visit);
    void resetToDefaults(const QWidget *page);

    void takeSettings();
    void showSampleColour(const QColor &colour);
    QColor sampleColour() const;
    void warn(const QString &text);

    tlSettings &settings;
    int maxTileHeight;
    tlTileStyle workingStyle;
    int workingHeight;

    std::vector<Binding<QCheckBox, bool>> checkBoxes;
    std::vector<Binding<QSpinBox, int>> spinBoxes;

    const QWidget *boardTab = nullptr;
    const QWidget *designerTab = nullptr;
    QComboBox *backgroundChooser = nullptr;
    QGraphicsScene *colourSample = nullptr;
    QComboBox *tileSetChooser = nullptr;
    QSlider *tileSizeSlider = nullptr;
    QGraphicsScene *exampleScene = nullptr;
    std::array<QGraphicsPixmapItem *, 2> exampleTiles = {};
    QListWidget *layoutList = nullptr;
    QLabel *preview = nullptr;
    QString previewPath;  // the picture the preview shows
    QSize previewSize;    // and its size
    QFileDialog *layoutChooser = nullptr;
};

#endif
