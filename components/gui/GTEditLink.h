#pragma once

#include "components/gui/ColumnTypes.h"
#include "platform/gui/Rect.h"

#include <memory>

class QEvent;
class TGridNode;
class TGridTreeView;

// What a tree asks of an in-place editor. The tree holds its editor through a
// shared pointer while the edit runs (and an editor's control may hold one
// too, so that the editor lives as long as the control).
class IGTEditLink {
public:
    virtual ~IGTEditLink() = default;

    // Shows the editor and gives it the focus; false when it will not edit.
    virtual bool BeginEdit() = 0;
    // Ends the edit without storing; false when it was ended already.
    virtual bool CancelEdit() = 0;
    // Ends the edit, storing what was changed; false when it was ended already.
    virtual bool EndEdit() = 0;
    // Sets the editor up for a cell; false when it cannot edit it.
    virtual bool PrepareEdit(TGridTreeView &Tree, TGridNode *Node, TColumnIndex Column) = 0;
    virtual TRect GetBounds() const = 0;
    // Hands an event to the editor's control.
    virtual void ProcessMessage(QEvent *Message) = 0;
    // The cell's text rectangle in the tree's client coordinates.
    virtual void SetBounds(TRect R) = 0;
};

using TGTEditLinkPtr = std::shared_ptr<IGTEditLink>;
