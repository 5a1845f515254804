#ifndef TLDWINDOW_H
#define TLDWINDOW_H

#include "tldCommands.h"
#include "tldLayoutModel.h"
#include "tldVerifier.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class tlHelpBrowser;
class tlPreferencesDialog;
class tldAnalysisDialog;
class tldGridView;
class tldTaskRunner;

// The layout designer's window: the board in the middle, the layout's name and
// designer and the current layer above it, the verification beside it, and the counts
// that say how far the layout is from a playable one below it.
class tldWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit tldWindow(QWidget *parent = nullptr);
    ~tldWindow() override;

    // Opens a layout file; on failure the author is told and the layout shown stays.
    bool openFile(const QString &path);
    tldLayoutModel &model() { return *layout; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    QWidget *makeVerificationPanel();
    void connectCommands();
    void applySettings();
    void rememberSettings();

    void newLayout();
    void chooseAndOpen();
    void openBuiltIn(const QString &name);
    bool save();
    bool saveAs();
    bool saveTo(const QString &path);
    bool maySetLayoutAside();
    void rememberFile(const QString &path);
    void fillRecentFiles();
    void tryInGame();

    void copySelection();
    void pasteCopied();
    void mirror(Qt::Orientation orientation);

    void verify();
    // The panel's account of the verification; report also tells it in the status bar.
    void showVerification(const QVector<tldProblem> &problems, const QString &summary);
    void reportVerification(const QVector<tldProblem> &problems, const QString &summary);
    void findRemovalOrder();
    void showProblemTiles(int row);
    void showHelp();
    void showAbout();

    void updateTitle();
    void updateCounts();
    void updateNameFields();
    void updateLayerRange();
    void tell(const QString &text);
    QString layoutTitle() const;
    // The title of the designer's message boxes.
    static QString boxTitle();

    std::unique_ptr<tldLayoutModel> layout;
    std::unique_ptr<tldCommands> commands;
    tldTaskRunner *tasks = nullptr;
    tldGridView *board = nullptr;
    QLineEdit *nameField = nullptr;
    QLineEdit *designerField = nullptr;
    QSpinBox *layerField = nullptr;
    QLabel *summary = nullptr;
    QListWidget *problemList = nullptr;
    QVector<tldProblem> problems;
    QLabel *tileCount = nullptr;
    QLabel *overlapCount = nullptr;
    QLabel *floatingCount = nullptr;
    QLabel *layerCount = nullptr;
    QLabel *verifiedMark = nullptr;
    QLabel *pointerPlace = nullptr;
    tlPreferencesDialog *preferences = nullptr;
    tldAnalysisDialog *analysis = nullptr;
    std::unique_ptr<tlHelpBrowser> helpBrowser;
    QVector<tlTilePosition> copied;
};

#endif
