#include "tlgApplication.h"

#include <QFileOpenEvent>

tlgApplication::tlgApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool tlgApplication::event(QEvent *event)
{
    if (event->type() != QEvent::FileOpen)
        return QApplication::event(event);
    auto *openEvent = dynamic_cast<QFileOpenEvent *>(event);
    if (!openEvent)
        return false;
    requestedFile = openEvent->file();
    if (requestedFile.isEmpty())
        return false;
    openRequested = true;
    return true;
}
