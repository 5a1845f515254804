#ifndef TLSTDOUTCAPTURE_H
#define TLSTDOUTCAPTURE_H

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

// Collects what the program writes to standard output while it lives, so that tests
// can check the diagnostics word for word.
class tlStdoutCapture
{
public:
    tlStdoutCapture()
    {
        std::fflush(stdout);
        file.open();
        saved = ::dup(STDOUT_FILENO);
        ::dup2(file.handle(), STDOUT_FILENO);
    }

    ~tlStdoutCapture() { restore(); }

    tlStdoutCapture(const tlStdoutCapture &) = delete;
    tlStdoutCapture &operator=(const tlStdoutCapture &) = delete;

    // Everything written so far; capturing ends.
    QString text()
    {
        restore();
        QFile written(file.fileName());
        written.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(written.readAll());
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        saved = -1;
    }

    QTemporaryFile file;
    int saved = -1;
};

#endif
