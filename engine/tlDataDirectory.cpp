#include "tlDataDirectory.h"

#include <QCoreApplication>

namespace {

// The source tree's data folder serves only the programs of the build that knows it,
// run where that build put them; the same binary, once installed, never looks into a
// source tree, which may since have changed or gone.
QString developerDataDirectory(const QString &app)
{
    const QString buildOutput = QStringLiteral(TILVANE_BUILD_OUTPUT_DIR);
    if (buildOutput.isEmpty() || QDir(app) != QDir(buildOutput))
        return QString();
    return QStringLiteral(TILVANE_DEVELOPER_DATA_DIR);
}

}

QStringList dataDirectoryCandidates(const QString &name)
{
    const QString app = QCoreApplication::applicationDirPath();
    const QString home = QDir::homePath();
    const QString chosen = qEnvironmentVariable("TILVANE_DATA_DIR");
    const QStringList bases = {
        chosen.isEmpty() ? developerDataDirectory(app) : chosen,
        app + QStringLiteral("/../../../../Resources"),
        app + QStringLiteral("/../Resources"),
        app,
        QStringLiteral("/usr/local/share/Tilvane"),
        QStringLiteral("/opt/local/share/Tilvane"),
        QStringLiteral("/usr/share/Tilvane"),
        QStringLiteral("/opt/share/Tilvane"),
        app + QStringLiteral("/../../.."),
        QStringLiteral("/usr/local/Tilvane"),
        QStringLiteral("/opt/local/Tilvane"),
        QStringLiteral("/usr/local/Tilvane/share"),
        QStringLiteral("/opt/local/Tilvane/share"),
        QStringLiteral("/usr/Tilvane"),
        QStringLiteral("/opt/Tilvane"),
        QStringLiteral("/usr/Tilvane/share"),
        QStringLiteral("/opt/Tilvane/share"),
        QStringLiteral("/sw/Tilvane"),
        QStringLiteral("/sw/share/Tilvane"),
        QStringLiteral("/sw/Tilvane/share"),
        app + QStringLiteral("/.."),
        app + QStringLiteral("/../share"),
        app + QStringLiteral("/../share/Tilvane"),
        app + QStringLiteral("/../Tilvane/share"),
        home + QStringLiteral("/Tilvane"),
        home + QStringLiteral("/share/Tilvane"),
    };
    QStringList candidates;
    for (const QString &base : bases) {
        // Without a developer folder in reach there is nothing to look at first.
        if (!base.isEmpty())
            candidates << base + QLatin1Char('/') + name;
    }
    return candidates;
}

QDir findDataDirectory(const QString &name)
{
    for (const QString &candidate : dataDirectoryCandidates(name)) {
        const QDir dir(candidate);
        if (dir.exists())
            return dir;
    }
    return QDir(QString());
}

QDir findDataDirectory(const char *name)
{
    return findDataDirectory(QString::fromUtf8(name));
}

bool dataDirectoryFound(const QDir &dir)
{
    // Every candidate is an absolute path; "none found" is the relative empty one.
    return dir.isAbsolute() && dir.exists();
}
