#ifndef TLGAPPLICATION_H
#define TLGAPPLICATION_H

#include <QApplication>

// The application object. It holds a request of the operating system to open a game
// file that arrives before the main window exists (while the splash screen is up);
// once the window is built, the window's event filter takes such requests.
class tlgApplication : public QApplication
{
    Q_OBJECT

public:
    tlgApplication(int &argc, char **argv);

    QString fileToOpen() const { return requestedFile; }
    bool fileOpenRequested() const { return openRequested; }

protected:
    bool event(QEvent *event) override;

private:
    QString requestedFile;
    bool openRequested = false;
};

#endif
