#ifndef TLGLAYOUTDESIGNERCLIENT_H
#define TLGLAYOUTDESIGNERCLIENT_H

#include <QString>
#include <memory>

class QProcess;

// Starts the separate layout-designer program installed beside the game, once: while
// it runs, launching again starts nothing. The game hands it nothing and reads nothing
// back.
class tlgLayoutDesignerClient
{
public:
    // `folder` holds the designer's executable; the game's own folder by default.
    explicit tlgLayoutDesignerClient(const QString &folder = QString());
    ~tlgLayoutDesignerClient();
    tlgLayoutDesignerClient(const tlgLayoutDesignerClient &) = delete;
    tlgLayoutDesignerClient &operator=(const tlgLayoutDesignerClient &) = delete;

    QString designerBinaryPath() const;
    // True when the designer runs afterwards.
    bool ensureRunning();
    bool launch() { return ensureRunning(); }

    // The designer's process once it was started, for those who watch it end.
    const QProcess *designerProcess() const { return process.get(); }

private:
    QString folder;
    std::unique_ptr<QProcess> process;
};

#endif
