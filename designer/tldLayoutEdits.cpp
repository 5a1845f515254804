#include "tldLayoutEdits.h"

#include <QCoreApplication>

namespace {
// Text edits merge by field; ids are any numbers the stack has not seen from others.
const int textEditIdBase = 1000;
}

tldTilesEdit::tldTilesEdit(tldLayoutModel &model, const QString &text,
                           const tldLayoutModel::Snapshot &beforeEdit,
                           const tldLayoutModel::Snapshot &afterEdit)
    : QUndoCommand(text)
    , layout(model)
    , before(beforeEdit)
    , after(afterEdit)
{
}

void tldTilesEdit::undo()
{
    layout.restore(before);
}

void tldTilesEdit::redo()
{
    layout.restore(after);
}

tldTextEdit::tldTextEdit(tldLayoutModel &model, tldLayoutModel::Text which, const QString &old,
                         const QString &now)
    : QUndoCommand(which == tldLayoutModel::Text::Name
                       ? QCoreApplication::translate("tldTextEdit", "Layout Name")
                       : QCoreApplication::translate("tldTextEdit", "Designer Name"))
    , layout(model)
    , field(which)
    , before(old)
    , after(now)
{
}

void tldTextEdit::undo()
{
    layout.restoreText(field, before);
}

void tldTextEdit::redo()
{
    layout.restoreText(field, after);
}

int tldTextEdit::id() const
{
    return textEditIdBase + int(field);
}

bool tldTextEdit::mergeWith(const QUndoCommand *other)
{
    // The stack only offers commands of the same id, so the same field.
    after = static_cast<const tldTextEdit *>(other)->after;
    return true;
}
