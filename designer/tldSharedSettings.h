#ifndef TLDSHAREDSETTINGS_H
#define TLDSHAREDSETTINGS_H

#include <functional>

class tlSettings;

// The designer shares the settings store with the game, which may run at the same time
// and save its preferences, highscores and the player's layouts meanwhile. Before the
// designer writes the store it reads it again and keeps only its own group from memory,
// so that it never writes back what the game had when the designer started.
namespace tldSharedSettings {

// Reads the store again, keeps the designer's own settings, applies `change` (for
// example a layout to add to the player's own) and writes the store. False when the
// store could not be written.
bool save(const std::function<void(tlSettings &)> &change = {});

}

#endif
