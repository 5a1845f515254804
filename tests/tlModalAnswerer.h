#ifndef TLMODALANSWERER_H
#define TLMODALANSWERER_H

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QQueue>
#include <QStringList>

// Answers the modal dialogs a window test runs into, in the order they come: message
// boxes with a given button, file dialogs with a given file name (an empty name
// cancels). What each message box said is kept for the test to check.
//
// A dialog is answered from the event loop it runs, right after it shows itself: no
// polling, no waiting on the clock.
class tlModalAnswerer : public QObject
{
public:
    // Boxes without an answer of their own get `usualAnswer`.
    explicit tlModalAnswerer(QMessageBox::StandardButton usualAnswer = QMessageBox::Ok)
        : usual(usualAnswer)
    {
        qApp->installEventFilter(this);
    }
    ~tlModalAnswerer() override { qApp->removeEventFilter(this); }

    void answerBox(QMessageBox::StandardButton button) { boxAnswers.enqueue(button); }
    void answerFile(const QString &path) { fileAnswers.enqueue(path); }

    struct Box
    {
        QString title, text, informative;
    };
    QList<Box> boxes;
    QStringList texts() const { return gather(&Box::text); }
    QStringList titles() const { return gather(&Box::title); }
    int fileDialogs = 0;
    QStringList fileDialogFolders;  // where each file dialog started

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show
            && (qobject_cast<QMessageBox *>(watched) || qobject_cast<QFileDialog *>(watched))) {
            // Answered once the dialog's own loop runs; answering now would end a loop
            // that has not begun.
            const QPointer<QWidget> dialog = static_cast<QWidget *>(watched);
            QMetaObject::invokeMethod(this, [this, dialog] {
                if (dialog && dialog->isVisible())
                    answer(dialog);
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void answer(QWidget *dialog)
    {
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            boxes.append({box->windowTitle(), box->text(), box->informativeText()});
            const auto button = boxAnswers.isEmpty() ? usual : boxAnswers.dequeue();
            if (QAbstractButton *pressed = box->button(button))
                pressed->click();
            else
                box->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
            ++fileDialogs;
            fileDialogFolders.append(files->directory().absolutePath());
            const QString path = fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
            if (path.isEmpty()) {
                files->reject();
            } else {
                // Typed in as a player would: selecting a file races with the dialog's
                // reading of the folder.
                if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    name->setText(path);
                QMetaObject::invokeMethod(files, "accept");
            }
        }
    }

    QStringList gather(QString Box::*part) const
    {
        QStringList parts;
        for (const Box &box : boxes)
            parts << box.*part;
        return parts;
    }

    const QMessageBox::StandardButton usual;
    QQueue<QMessageBox::StandardButton> boxAnswers;
    QQueue<QString> fileAnswers;
};

#endif
