#include "tlgFindSolutionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QSpinBox>
#include <array>

namespace {

// The iterations each mode presets, in the order of the mode box; the last mode is
// the custom one, whose preset is only where the player starts typing.
const std::array<int, 4> modeIterations = {100, 1000, 10000, 100000};
const int customMode = int(modeIterations.size()) - 1;
const int standardMode = 1;
const int fewestIterations = 1;
const int mostIterations = 1000000;
const int iterationsStep = 1000;
const int spacerWidth = 40;
const int spacerHeight = 20;

QSpacerItem *horizontalSpacer()
{
    return new QSpacerItem(spacerWidth, spacerHeight, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

}

tlgFindSolutionDialog::tlgFindSolutionDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Layout Designer - Solution Search"));
    setModal(true);

    auto *introduction = new QLabel(
        tr("<html><head/><body><p>Solution Finder</p><p><span style=\" font-size:11pt;\">Your are "
           "about to start an process searching for a solution to the current game. Note that this "
           "process can take a while depending on the selection below.</span></p></body></html>"),
        this);
    introduction->setTextFormat(Qt::RichText);
    introduction->setWordWrap(true);
    introduction->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    modeBox = new QComboBox(this);
    modeBox->addItems({tr("Fast Search"), tr("Standard Search"), tr("Extended Search"),
                       tr("Custom Search")});
    auto *modeRow = new QHBoxLayout;
    modeRow->addWidget(new QLabel(tr("Analysis Mode:"), this));
    modeRow->addWidget(modeBox);
    modeRow->addItem(horizontalSpacer());

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    iterationsBox = new QSpinBox(this);
    iterationsBox->setRange(fewestIterations, mostIterations);
    iterationsBox->setSingleStep(iterationsStep);
    auto *form = new QFormLayout;
    form->addRow(tr("Maximum number of iterations per game:"), iterationsBox);
    auto *settingsRow = new QHBoxLayout;
    settingsRow->addLayout(form);
    settingsRow->addItem(horizontalSpacer());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         Qt::Horizontal, this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(introduction, 0, 0);
    grid->addLayout(modeRow, 1, 0);
    grid->addWidget(line, 2, 0);
    grid->addWidget(new QLabel(tr("Search Settings:"), this), 3, 0);
    grid->addLayout(settingsRow, 4, 0);
    grid->addWidget(buttons, 5, 0);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &tlgFindSolutionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &tlgFindSolutionDialog::reject);
    connect(modeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &tlgFindSolutionDialog::modeChanged);

    modeBox->setCurrentIndex(standardMode);
    modeChanged();
}

void tlgFindSolutionDialog::modeChanged()
{
    const int index = modeBox->currentIndex();
    const int mode = index >= 0 && index < customMode ? index : customMode;
    iterationsBox->setValue(modeIterations.at(size_t(mode)));
    iterationsBox->setEnabled(mode == customMode);
    update();
}

void tlgFindSolutionDialog::accept()
{
    acceptedIterations = iterationsBox->value();
    hide();
    emit startSearch();
}

void tlgFindSolutionDialog::reject()
{
    hide();
    emit resetGame();
}
