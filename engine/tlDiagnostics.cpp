#include "tlDiagnostics.h"

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

}
