#ifndef TLUSERLAYOUTCHECK_H
#define TLUSERLAYOUTCHECK_H

#include <QCoreApplication>
#include <QString>

// What the game asks of a layout file before it joins the player's own layouts, and the
// joining itself: the layouts tab of the preferences and the layout designer's "Try in
// Tilvane" both go through here.
class tlUserLayoutCheck
{
    Q_DECLARE_TR_FUNCTIONS(tlUserLayoutCheck)

public:
    tlUserLayoutCheck() = delete;

    // Reads the file: empty when it may be added, else why not, in the player's words.
    // `name` receives the layout's name once the file could be read.
    static QString problem(const QString &path, QString *name);
    // Adds the layout to the settings and remembers its folder as where the next one is
    // looked for.
    static void add(const QString &name, const QString &path);
};

#endif
