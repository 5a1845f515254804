#include "tlLayoutLocator.h"

#include "tlDataDirectory.h"
#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"

namespace {

std::function<void()> &missingDirectoryReaction()
{
    static std::function<void()> reaction;
    return reaction;
}

tlLayoutLocator::UserLayoutLookup &userLayoutLookup()
{
    static tlLayoutLocator::UserLayoutLookup lookup;
    return lookup;
}

}

void tlLayoutLocator::setUserLayoutLookup(UserLayoutLookup lookup)
{
    userLayoutLookup() = std::move(lookup);
}

void tlLayoutLocator::setMissingDirectoryReaction(std::function<void()> reaction)
{
    missingDirectoryReaction() = std::move(reaction);
}

QString tlLayoutLocator::missingDirectoryMessage()
{
    return tr("Cannot find the directory holding the layouts. Ceck your installation and "
              "reinstall if necessary. Tilvane will now exit.");
}

QDir tlLayoutLocator::layoutsDirectory()
{
    const QDir dir = findDataDirectory("layouts");
    if (!dataDirectoryFound(dir)) {
        if (missingDirectoryReaction())
            missingDirectoryReaction()();
        else
            tl::diagnose("tlLayoutLocator::layoutsDirectory", {missingDirectoryMessage()});
    }
    return dir;
}

bool tlLayoutLocator::checksumFits(const QString &path, uint32_t checksum)
{
    tlLayoutHandler layout;
    return layout.open(path) && layout.checksum() == checksum;
}

QString tlLayoutLocator::findLayoutFile(const QString &layoutName, uint32_t checksum)
{
    const QString name = layoutName.trimmed();

    const QString userPath = userLayoutLookup() ? userLayoutLookup()(name) : QString();
    if (!userPath.isEmpty() && (checksum == 0 || checksumFits(userPath, checksum)))
        return userPath;

    const QDir dir = layoutsDirectory();
    if (!dataDirectoryFound(dir))
        return QString();
    const QStringList entries = dir.entryList();
    const QString wanted = name + QStringLiteral(".tllf");
    const QString prefix = dir.path() + QDir::separator();

    for (const QString &entry : entries) {
        if (entry == wanted && (checksum == 0 || checksumFits(prefix + entry, checksum)))
            return prefix + entry;
    }
    for (const QString &entry : entries) {
        if (entry == QLatin1String(".") || entry == QLatin1String(".."))
            continue;
        // A damaged file is never the layout a game asks for, whatever it held so far.
        tlLayoutHandler layout;
        if (layout.open(prefix + entry)
            && (checksum != 0 ? layout.checksum() == checksum : layout.name() == name)) {
            return prefix + entry;
        }
    }
    return QString();
}
