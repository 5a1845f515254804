#include "tlgStatusBar.h"

#include <QLabel>
#include <QStatusBar>

namespace {

const int messageIndent = 4;
// The widest text each field is to show without changing size.
const QString widestTileCount = QStringLiteral("9999");
const QString widestClock = QStringLiteral(" 00:00 ");
const QString widestCounters = QStringLiteral("72/72/72");

QLabel *field(QStatusBar *bar, const QString &text, Qt::Alignment alignment, int stretch)
{
    auto *label = new QLabel(text, bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(alignment);
    bar->addWidget(label, stretch);
    return label;
}

// Wide enough for `widest`, and never narrower than the label's own text asks.
void fitTo(QLabel *label, const QString &widest)
{
    const QFontMetrics metrics(label->font());
    label->setMinimumSize(label->sizeHint().expandedTo(QSize(metrics.horizontalAdvance(widest), 0)));
}

}

tlgStatusBar::tlgStatusBar(QStatusBar *bar)
    : tilesLeft(field(bar, QStringLiteral("0"), Qt::AlignHCenter, 0))
    , message(field(bar, QString(), Qt::AlignLeft, 1))
    , clock(field(bar, QStringLiteral("00:00"), Qt::AlignHCenter, 0))
    , counters(field(bar, QStringLiteral("0/0/0"), Qt::AlignHCenter, 0))
    , winnability(field(bar, QString(), Qt::AlignHCenter, 0))
{
    bar->setSizeGripEnabled(false);
    tilesLeft->setMinimumWidth(QFontMetrics(bar->font()).horizontalAdvance(widestTileCount));
    message->setIndent(messageIndent);
    fitTo(clock, widestClock);
    fitTo(counters, widestCounters);
    winnability->hide();
}
