#ifndef TLMODALANSWERER_H
#define TLMODALANSWERER_H

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QQueue>
#include <QStringList>
#include <QTimer>

// Answers the modal dialogs a window test runs into, in the order they come: message
// boxes with a given button, file dialogs with a given file name (an empty name
// cancels). What each message box said is kept for the test to check.
class tlModalAnswerer : public QObject
{
public:
    tlModalAnswerer()
    {
        connect(&poll, &QTimer::timeout, this, [this] { answerOpenDialog(); });
        poll.start(pollMilliseconds);
    }

    void answerBox(QMessageBox::StandardButton button) { boxAnswers.enqueue(button); }
    void answerFile(const QString &path) { fileAnswers.enqueue(path); }

    struct Box
    {
        QString title, text, informative;
    };
    QList<Box> boxes;
    int fileDialogs = 0;
    QStringList fileDialogFolders;  // where each file dialog started

private:
    static constexpr int pollMilliseconds = 20;

    void answerOpenDialog()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes.append({box->windowTitle(), box->text(), box->informativeText()});
            const auto button = boxAnswers.isEmpty() ? QMessageBox::Ok : boxAnswers.dequeue();
            if (QAbstractButton *pressed = box->button(button))
                pressed->click();
            else
                box->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
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

    QQueue<QMessageBox::StandardButton> boxAnswers;
    QQueue<QString> fileAnswers;
    QTimer poll;
};

#endif
