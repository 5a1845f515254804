#include "tlgLayoutDesignerClient.h"

#include "tlDiagnostics.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace {

// The designer's file name; Linux executables carry no suffix.
const QString designerName = QStringLiteral("Layout Designer");
const int startMilliseconds = 30000;

}

tlgLayoutDesignerClient::tlgLayoutDesignerClient(const QString &designerFolder)
    : folder(designerFolder)
{
}

tlgLayoutDesignerClient::~tlgLayoutDesignerClient() = default;

QString tlgLayoutDesignerClient::designerBinaryPath() const
{
    const QString where = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
    return where + QLatin1Char('/') + designerName;
}

bool tlgLayoutDesignerClient::ensureRunning()
{
    if (process && process->state() != QProcess::NotRunning)
        return true;
    if (!process)
        process = std::make_unique<QProcess>();
    const QString path = designerBinaryPath();
    if (!QFileInfo(path).isFile()) {
        tl::diagnose("tlgLayoutDesignerClient::ensureRunning",
                     {QStringLiteral("The binary '%1' does not exist.").arg(path)});
        return false;
    }
    process->start(path, QStringList(), QIODevice::ReadWrite);
    if (!process->waitForStarted(startMilliseconds)) {
        tl::diagnose("tlgLayoutDesignerClient::ensureRunning",
                     {QStringLiteral("The binary '%1' cannot be started.").arg(path)});
        return false;
    }
    return true;
}
