#ifndef TLDANALYSISDIALOG_H
#define TLDANALYSISDIALOG_H

#include "tldSolverJudge.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class tldLayoutModel;
class tldTaskRunner;

// Deals a chosen number of random games on the layout, has the engine play each and,
// when asked, its solver decide each, and shows the report, which can be saved as text.
class tldAnalysisDialog : public QDialog
{
    Q_OBJECT

public:
    tldAnalysisDialog(tldLayoutModel &model, tldTaskRunner &runner, QWidget *parent);

    void showForLayout();

signals:
    // The report folder changed and should be remembered.
    void settingsChanged();

private:
    void analyse();
    void saveReport();

    tldLayoutModel &layout;
    tldTaskRunner &tasks;
    // Tells, when the author asks, how many deals could be won at all.
    tldSolverJudge judge;
    QSpinBox *deals = nullptr;
    QCheckBox *judged = nullptr;
    QPlainTextEdit *report = nullptr;
    QPushButton *runButton = nullptr;
    QPushButton *saveButton = nullptr;
    QString reportedLayout;
};

#endif
