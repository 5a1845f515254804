#ifndef TLHELPBROWSER_H
#define TLHELPBROWSER_H

#include <QMap>
#include <QString>
#include <QWidget>
#include <memory>

class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The manual: a contents tree read from the index file beside the HTML pages, the page
// itself, and back, forward, home and close. A window of its own and not modal, so that
// the player can read it beside the board.
//
// The index is UTF-8 text, one entry a line: "level,title,file", level 0 a chapter and 1
// a section of the chapter before it; lines that begin with "#" are comments. Anything
// else is skipped with a note on standard output.
class tlHelpBrowser : public QWidget
{
    Q_OBJECT

public:
    // `docsDirectory` is where the pages named in `indexFile` and their pictures lie.
    tlHelpBrowser(const QString &indexFile, const QString &docsDirectory);
    // The browser on the installed documentation; none when it is missing, and then
    // `problem` says what the player is to be told.
    static std::unique_ptr<tlHelpBrowser> forInstalledDocs(QString &problem);

    // Turns to `page`, a file named in the index, as if the player had chosen it.
    void showPage(const QString &page);

private slots:
    void updateCaption();
    void itemSelected(QTreeWidgetItem *item);
    void goHome();
    void goForward();
    void goBackward();

private:
    void readIndex(const QString &indexFile);
    void showPageInContents(const QUrl &source);

    QTextBrowser *browser = nullptr;
    QTreeWidget *contents = nullptr;
    QPushButton *homeButton = nullptr;
    QPushButton *backButton = nullptr;
    QPushButton *forwardButton = nullptr;
    QPushButton *closeButton = nullptr;
    QMap<QString, QTreeWidgetItem *> itemsByFile;
};

#endif
