#ifndef TLGSTATUSBAR_H
#define TLGSTATUSBAR_H

class QLabel;
class QStatusBar;

// The fields of the window's status bar: tiles left, the message, the clock, the help
// counters (undos/hints/find-match uses) and, when the player asks for it, whether the
// game can still be won.
struct tlgStatusBar
{
    explicit tlgStatusBar(QStatusBar *bar);

    QLabel *tilesLeft;
    QLabel *message;
    QLabel *clock;
    QLabel *counters;
    QLabel *winnability;
};

#endif
