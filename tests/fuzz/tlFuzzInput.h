#ifndef TLFUZZINPUT_H
#define TLFUZZINPUT_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace tlFuzz {

// The readers report bad files on standard output; sending it to /dev/null keeps
// libFuzzer's own report on standard error readable.
inline void silenceStdout()
{
    std::fflush(stdout);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) {
        std::fputs("fuzz: cannot send standard output to /dev/null\n", stderr);
        std::abort();
    }
    ::close(null);
}

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

// The readers take file names, so every input is written to one fixed file in a
// directory of this process's own: parallel fuzzers never share it, and it is
// removed when the process ends normally.
class InputFile
{
public:
    explicit InputFile(const QString &name)
    {
        if (!directory.isValid())
            fail("cannot create a temporary directory");
        filePath = QDir(directory.path()).filePath(name);
        nativePath = QFile::encodeName(filePath);
    }

    const QString &write(const uint8_t *data, size_t size) const
    {
        std::FILE *file = std::fopen(nativePath.constData(), "wb");
        if (!file)
            fail("cannot write the input file");
        const bool written = std::fwrite(data, 1, size, file) == size;
        if (std::fclose(file) != 0 || !written)
            fail("cannot write the input file");
        return filePath;
    }

private:
    QTemporaryDir directory;
    QString filePath;
    QByteArray nativePath;
};

}

#endif
