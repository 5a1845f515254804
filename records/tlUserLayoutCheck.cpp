#include "tlUserLayoutCheck.h"

#include "tlLayoutHandler.h"
#include "tlSettings.h"

#include <QFileInfo>

QString tlUserLayoutCheck::problem(const QString &path, QString *name)
{
    tlLayoutHandler layout;
    // Only plain files: reading a pipe or a device could wait for ever.
    if (!QFileInfo(path).isFile() || !layout.open(path))
        return tr("Cannot open layout file '%1'. File not added to list.").arg(path);
    *name = layout.name();
    if (!layout.verified()) {
        return tr("The layout file '%1' is not verified. Use the Layout Designer to complete and "
                  "verify it, then try again.").arg(path);
    }
    if (tlSettings::isBuiltInLayout(layout.name())) {
        return tr("Layout cannot be added. The name of the layout is identical to a built-in "
                  "layout. Use the Layout Designer to change the name and try again.");
    }
    if (tlSettings::instance().userLayoutNames().contains(layout.name(), Qt::CaseSensitive))
        return tr("Layout cannot be added. A layout with the same name already exist.");
    return QString();
}

void tlUserLayoutCheck::add(const QString &name, const QString &path)
{
    tlSettings &settings = tlSettings::instance();
    settings.addUserLayoutFile(name, path);
    settings.saveFileDirectory = QFileInfo(path).absolutePath();
}
