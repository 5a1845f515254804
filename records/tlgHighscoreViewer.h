#ifndef TLGHIGHSCOREVIEWER_H
#define TLGHIGHSCOREVIEWER_H

#include <QDialog>
#include <QString>

class QComboBox;
class QDialogButtonBox;
class QTableWidget;
class tlClock;

// The highscore list of one layout at a time. Modeless: the main window keeps one
// instance and raises it on demand; it follows every change of the lists by itself.
class tlgHighscoreViewer : public QDialog
{
    Q_OBJECT

public:
    // A result that ended less than a few minutes ago by `clock` is marked as fresh.
    tlgHighscoreViewer(const tlClock &clock, QWidget *parent);

    // Shows the list of the layout being played, or the first list there is when that
    // layout has none.
    void showCurrentLayout();

public slots:
    void layoutChanged(const QString &layoutName);
    void clearHighscores();
    void updateHighscores();

private:
    void highlightLastEntry();
    void keepColumnsInView();

    const tlClock &clock;
    QComboBox *layoutChooser = nullptr;
    QTableWidget *table = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
};

#endif
