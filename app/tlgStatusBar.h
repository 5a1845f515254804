#ifndef TLGSTATUSBAR_H
#define TLGSTATUSBAR_H

class QLabel;
class QStatusBar;

// The four fields of the window's status bar: tiles left, the message, the clock and
// the help counters (undos/hints/find-match uses).
struct tlgStatusBar
{
    explicit tlgStatusBar(QStatusBar *bar);

    QLabel *tilesLeft;
    QLabel *message;
    QLabel *clock;
    QLabel *counters;
};

#endif
