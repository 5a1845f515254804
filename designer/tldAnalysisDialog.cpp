#include "tldAnalysisDialog.h"

#include "tlFileSaver.h"
#include "tlSettings.h"
#include "tldAnalysis.h"
#include "tldLayoutModel.h"
#include "tldTaskRunner.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const int fewestDeals = 1;
const int mostDeals = 1000000;
const int usualDeals = 1000;
const int dealStep = 100;
const QSize initialSize(460, 340);

}

tldAnalysisDialog::tldAnalysisDialog(tldLayoutModel &model, tldTaskRunner &runner, QWidget *parent)
    : QDialog(parent)
    , layout(model)
    , tasks(runner)
{
    setWindowTitle(tr("Tilvane - Layout Analysis"));
    deals = new QSpinBox;
    deals->setRange(fewestDeals, mostDeals);
    deals->setSingleStep(dealStep);
    deals->setValue(usualDeals);
    runButton = new QPushButton(tr("Analyse"));
    runButton->setDefault(true);
    auto *form = new QFormLayout;
    auto *row = new QHBoxLayout;
    row->addWidget(deals);
    row->addWidget(runButton);
    form->addRow(tr("Random deals:"), row);
    // Off at first: the solver may take seconds for a deal.
    judged = new QCheckBox(tr("Also find out which deals can be won at all (slow)"));
    form->addRow(judged);

    report = new QPlainTextEdit;
    report->setReadOnly(true);
    report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    saveButton = buttons->addButton(tr("Save Report..."), QDialogButtonBox::ActionRole);
    saveButton->setEnabled(false);

    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(report);
    column->addWidget(buttons);
    resize(initialSize);

    connect(runButton, &QPushButton::clicked, this, &tldAnalysisDialog::analyse);
    connect(saveButton, &QPushButton::clicked, this, &tldAnalysisDialog::saveReport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
}

void tldAnalysisDialog::showForLayout()
{
    show();
    raise();
    activateWindow();
}

void tldAnalysisDialog::analyse()
{
    const QVector<tlTilePosition> tiles = layout.positions();
    const QString name = layout.name();
    const int count = deals->value();
    tldDealJudge *exact = judged->isChecked() ? &judge : nullptr;
    tasks.run<tldAnalysisResult>(
        this, tr("Dealing and playing %1 games...").arg(count), count,
        [tiles, count, exact](tldProgress &progress) {
            return tldAnalysis::run(tiles, count, progress, exact);
        },
        [this, name](const tldAnalysisResult &result) {
            report->setPlainText(tldAnalysis::report(result, name));
            reportedLayout = name;
            saveButton->setEnabled(true);
        });
}

void tldAnalysisDialog::saveReport()
{
    tlSettings &settings = tlSettings::instance();
    const QString folder = QDir(settings.analysisReportDirectory).exists()
        ? settings.analysisReportDirectory : QDir::homePath();
    const QString suggested = tr("%1 analysis.txt")
                                  .arg(reportedLayout.isEmpty() ? tr("Layout") : reportedLayout);
    const QString path = QFileDialog::getSaveFileName(this, tr("Tilvane - Save Analysis"),
                                                      QDir(folder).filePath(suggested),
                                                      tr("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!tl::saveFile(path, report->toPlainText().toUtf8(), &reason)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Could not save the report as '%1': %2").arg(path, reason));
        return;
    }
    settings.analysisReportDirectory = QFileInfo(path).absolutePath();
    emit settingsChanged();
}
