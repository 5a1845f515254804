#ifndef TLGSOLUTIONVIEWER_H
#define TLGSOLUTIONVIEWER_H

#include "tleTile.h"

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;
class tlgBoard;

// The report of a found solution, and two buttons that walk through it on the live
// board: the pair highlighted in the text is always the next one to remove, and it is
// shown selected on the board. Hiding the viewer, however it happens, asks the window
// to put the deal back.
class tlgSolutionViewer : public QDialog
{
    Q_OBJECT

public:
    explicit tlgSolutionViewer(QWidget *parent = nullptr);

    // The scene the walk plays on; not owned.
    void setBoard(tlgBoard *scene) { board = scene; }
    // Starts a new walk at the report's top.
    void setSolutionText(const QString &text);
    void setSolutionPairs(const tleTilePairList &solution) { pairs = solution; }

signals:
    void resetGame();
    // True when the viewer is shown and false when it is hidden. While it shows, the
    // board may be emptied by the walk, which must not count as the end of a game.
    void visibilityChanged(bool visible);

public slots:
    void save();
    void moveDown();
    void moveUp();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void highlightCurrentPair();
    void selectCurrentPair();

    QPlainTextEdit *textView = nullptr;
    QPushButton *forwardButton = nullptr;
    QPushButton *backButton = nullptr;
    int line = 0;  // the report line where the current pair starts; 0 before the first
    tleTilePairList pairs;
    tlgBoard *board = nullptr;
};

#endif
