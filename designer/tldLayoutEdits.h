#ifndef TLDLAYOUTEDITS_H
#define TLDLAYOUTEDITS_H

#include "tldLayoutModel.h"

#include <QUndoCommand>

// One edit of the tiles (placing, removing, moving, pasting, mirroring): the tiles and
// the selection before and after it.
class tldTilesEdit : public QUndoCommand
{
public:
    tldTilesEdit(tldLayoutModel &model, const QString &text, const tldLayoutModel::Snapshot &before,
                 const tldLayoutModel::Snapshot &after);

    void undo() override;
    void redo() override;

private:
    tldLayoutModel &layout;
    const tldLayoutModel::Snapshot before;
    const tldLayoutModel::Snapshot after;
};

// A new name for the layout or its designer. Typing on in the same field stays one step.
class tldTextEdit : public QUndoCommand
{
public:
    tldTextEdit(tldLayoutModel &model, tldLayoutModel::Text which, const QString &before,
                const QString &after);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    tldLayoutModel &layout;
    const tldLayoutModel::Text field;
    const QString before;
    QString after;
};

#endif
