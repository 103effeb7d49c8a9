#pragma once

#include "document/Document.h"

// One user action as one undo group for its lifetime: the group index is taken
// from the undo manager before the changes and set back to -1 after them.
class TUndoGroup {
public:
    explicit TUndoGroup(Document &doc)
        : TUndoGroup(doc, doc.UndoRedo().GetGroupIndex())
    { }
    // Adds the changes to the group `group`, one taken before (an action that
    // runs over several turns of the event loop).
    TUndoGroup(Document &doc, int group)
        : FDoc(doc)
    {
        FDoc.SetUndoRedoGroupIndex(group);
    }
    ~TUndoGroup() { FDoc.SetUndoRedoGroupIndex(-1); }
    TUndoGroup(const TUndoGroup &) = delete;
    TUndoGroup &operator=(const TUndoGroup &) = delete;

private:
    Document &FDoc;
};
