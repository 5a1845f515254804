#ifndef TLMESSAGEBOXANSWERER_H
#define TLMESSAGEBOXANSWERER_H

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers every message box that opens while it lives by pressing `button`, and keeps
// the boxes' titles and texts, so that no test is left waiting on a modal box.
class tlMessageBoxAnswerer : public QObject
{
public:
    explicit tlMessageBoxAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok)
        : answer(button)
    {
        connect(&poll, &QTimer::timeout, this, [this] { answerOpenBox(); });
        poll.start(pollMilliseconds);
    }

    QStringList texts;
    QStringList titles;

private:
    static constexpr int pollMilliseconds = 20;

    void answerOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        titles << box->windowTitle();
        QAbstractButton *pressed = box->button(answer);
        if (pressed)
            pressed->click();
        else
            box->reject();
    }

    QMessageBox::StandardButton answer;
    QTimer poll;
};

#endif
