#ifndef TLGFINDSOLUTIONDIALOG_H
#define TLGFINDSOLUTIONDIALOG_H

#include <QDialog>

class QComboBox;
class QSpinBox;

// Asks how hard the solution search should try before the window starts it. Ok and
// Cancel only hide the dialog and tell the window by a signal; no result code is set,
// because the window shows it with show() and never waits for it.
class tlgFindSolutionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit tlgFindSolutionDialog(QWidget *parent = nullptr);

    // The limit accepted by the last Ok; 0 before the first.
    int maxIterations() const { return acceptedIterations; }

signals:
    void startSearch();
    void resetGame();

public slots:
    void accept() override;
    // Cancel, Escape and the window's close button: the window puts the deal back.
    void reject() override;
    void modeChanged();

private:
    int acceptedIterations = 0;
    QComboBox *modeBox = nullptr;
    QSpinBox *iterationsBox = nullptr;
};

#endif
