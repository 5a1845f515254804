#ifndef TLABOUTDIALOG_H
#define TLABOUTDIALOG_H

#include <QDialog>
#include <QPixmap>
#include <QString>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The program's picture with its version and copyright painted on it; a button swaps
// the picture for the licence notice and back. The window keeps one, hidden, and every
// opening starts with the picture.
class tlAboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit tlAboutDialog(const QPixmap &picture, QWidget *parent = nullptr,
                           Qt::WindowFlags flags = Qt::WindowFlags());

public slots:
    void accept() override;
    // Escape and the window's close button come here; they, too, leave the picture
    // for the next opening.
    void reject() override;
    void license();

private:
    void paintTexts();
    void fitLicense();
    void showPictureAgain();

    QFrame *frame = nullptr;
    QPushButton *licenseButton = nullptr;
    QPushButton *okButton = nullptr;
    QLabel *pictureLabel = nullptr;
    QHBoxLayout *buttonRow = nullptr;
    QVBoxLayout *mainLayout = nullptr;
    QPixmap picture;
    QString versionText;
    QString copyrightText;
    bool showingPicture = true;
};

#endif
