#pragma once

#include "document/Document.h"

// One user action as one undo group for its lifetime: the group index is taken
// from the undo manager before the changes and set back to -1 after them.
class TUndoGroup {
public:
    explicit TUndoGroup(Document &doc)
        : FDoc(doc)
    {
        FDoc.SetUndoRedoGroupIndex(FDoc.UndoRedo().GetGroupIndex());
    }
    ~TUndoGroup() { FDoc.SetUndoRedoGroupIndex(-1); }
    TUndoGroup(const TUndoGroup &) = delete;
    TUndoGroup &operator=(const TUndoGroup &) = delete;

private:
    Document &FDoc;
};
