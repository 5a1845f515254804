#ifndef TLLAYOUTLOCATOR_H
#define TLLAYOUTLOCATOR_H

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdint>
#include <functional>

// Finds layout files by name and checksum: the player's own layouts first, when the
// layer that keeps them has handed in a lookup, then the installed layouts directory.
class tlLayoutLocator
{
    Q_DECLARE_TR_FUNCTIONS(tlLayoutLocator)

public:
    // The file of the player's layout of that name, empty when there is none.
    using UserLayoutLookup = std::function<QString(const QString &name)>;

    tlLayoutLocator() = delete;

    static QDir layoutsDirectory();
    // Checksum 0 takes the first file of that name; any other takes only a file with
    // that checksum, under any name. Empty when nothing fits.
    static QString findLayoutFile(const QString &layoutName, uint32_t checksum);

    // Without a lookup only the installed layouts are searched.
    static void setUserLayoutLookup(UserLayoutLookup lookup);

    // What happens when the layouts directory is missing. The game shows a message and
    // ends; without a reaction the text goes to standard output and the search finds
    // nothing.
    static void setMissingDirectoryReaction(std::function<void()> reaction);
    static QString missingDirectoryMessage();

private:
    static bool checksumFits(const QString &path, uint32_t checksum);
};

#endif
