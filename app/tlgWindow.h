#ifndef TLGWINDOW_H
#define TLGWINDOW_H

#include <QMainWindow>

// The main window. For now it only parses the command line and shows an empty board
// area; the menus, the board and the game itself come with the playable game.
class tlgWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit tlgWindow(QWidget *parent = nullptr);
    ~tlgWindow() override;

    QString commandLineGameFile() const { return gameFile; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString gameFile;
};

#endif
