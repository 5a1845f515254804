#ifndef TLDLAYOUTFILE_H
#define TLDLAYOUTFILE_H

#include "tlLayoutHandler.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>

// A layout as the designer edits it and as a layout file holds it.
struct tldLayoutData
{
    QString name;
    QString designer;
    QVector<tlTilePosition> positions;  // in file order: layer from 1, x and y as written
    bool verified = false;
};

// Layout files: read with the game's own reader, so that the designer opens exactly what
// the game would, and written in the format that reader takes.
class tldLayoutFile
{
    Q_DECLARE_TR_FUNCTIONS(tldLayoutFile)

public:
    struct Reading
    {
        bool ok = false;
        QString problem;  // why not, in the author's words
        QString note;     // something the author should know about a layout that was read
        tldLayoutData layout;
    };

    tldLayoutFile() = delete;

    static Reading read(const QString &fileName);
    // The file's text; `layout.verified` decides the mark, the checksum is the game's.
    static QByteArray content(const tldLayoutData &layout);
    // Replaces the file as a whole or not at all; `problem` tells why not.
    static bool write(const QString &fileName, const tldLayoutData &layout, QString *problem);
};

#endif
