#include "tlDiagnostics.h"

#include <QXmlStreamReader>
#include <cstdio>

namespace tl {

void diagnose(const char *origin, const QStringList &lines)
{
    const QString prefix = QString::fromLatin1(origin) + QStringLiteral("(): ");
    const QString indent(prefix.size(), QLatin1Char(' '));
    bool first = true;
    for (const QString &line : lines) {
        const QByteArray text = ((first ? prefix : indent) + line).toLocal8Bit();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        first = false;
    }
}

void diagnoseDamagedFile(const char *origin, const QString &fileName, const QString &what,
                         const QXmlStreamReader &xml)
{
    // One pass: the reader's text may quote the file, "%1" and all.
    const QString where = QStringLiteral("%1 See line %2, column %3.")
                              .arg(xml.errorString(), QString::number(xml.lineNumber()),
                                   QString::number(xml.columnNumber()));
    diagnose(origin, {QStringLiteral("Errors while reading file '%1'. ").arg(fileName),
                      QStringLiteral("%1 file might be damaged.").arg(what),
                      QStringLiteral("XML: ") + where});
}

}
