#ifndef TLTESTENVIRONMENT_H
#define TLTESTENVIRONMENT_H

#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

// Points HOME and the XDG folders at a fresh temporary folder before Qt looks at
// them, so that no test reads or writes the player's own settings or backups.
class tlTestEnvironment
{
public:
    tlTestEnvironment()
    {
        const QByteArray root = home.path().toLocal8Bit();
        ::setenv("HOME", root.constData(), 1);
        ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
        ::setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
        ::setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
        QStandardPaths::setTestModeEnabled(true);
    }

    QString homePath() const { return home.path(); }

private:
    QTemporaryDir home;
};

// Like QTEST_MAIN, with the isolated environment set up before the application object.
#define TILVANE_TEST_MAIN(TestClass, ApplicationClass)                                  \
    int main(int argc, char **argv)                                                     \
    {                                                                                   \
        tlTestEnvironment environment;                                                  \
        ApplicationClass app(argc, argv);                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                        \
        TestClass test;                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                      \
        return QTest::qExec(&test, argc, argv);                                         \
    }

#endif
