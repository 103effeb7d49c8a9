#pragma once

#include "components/gui/HeaderTypes.h"

#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <memory>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class TGridTreeView;

// Where a drag over a tree is: just entered, moving over it, or leaving it.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Drop effects as bits (the same as Qt's drop actions), and the mark a tree
// adds when it scrolled during a move.
inline constexpr uint32_t DROPEFFECT_NONE = 0;
inline constexpr uint32_t DROPEFFECT_COPY = 1;
inline constexpr uint32_t DROPEFFECT_MOVE = 2;
inline constexpr uint32_t DROPEFFECT_LINK = 4;
inline constexpr uint32_t DROPEFFECT_SCROLL = 0x80000000u;

// A tree's side of drags: as the target it takes Qt's drag events, finds the
// source tree of this process through the data's reference and hands the
// enter, move, leave and drop on to the tree; as the source it holds the data
// object of the drag the tree runs.
class TGTDragManager {
public:
    explicit TGTDragManager(TGridTreeView &Owner);
    virtual ~TGTDragManager() = default;
    TGTDragManager(const TGTDragManager &) = delete;
    TGTDragManager &operator=(const TGTDragManager &) = delete;

    // An image another target left behind goes (the system draws them here: nothing to do).
    virtual void ForceDragLeave() { }
    const QMimeData *DataObject() const { return FDataObject; }
    void SetDataObject(const QMimeData *Value) { FDataObject = Value; }
    // The tree the drag over this one came from, when it is of this process.
    TGridTreeView *DragSource() const { return FDragSource; }
    // The system shows the image of drags (a drag's own image is not drawn).
    virtual bool DropTargetHelperSupported() const { return FDropTargetHelper; }
    void SetDropTargetHelperSupported(bool Value) { FDropTargetHelper = Value; }
    // A drag is over the tree now.
    bool IsDropTarget() const { return FIsDropTarget; }

    // Qt's drag events on the tree's client area.
    virtual void DragEnter(QDragEnterEvent &Event);
    virtual void DragOver(QDragMoveEvent &Event);
    virtual void DragLeave();
    virtual void Drop(QDropEvent &Event);

private:
    TGridTreeView &FOwner;
    QPointer<TGridTreeView> FDragSource;
    const QMimeData *FDataObject = nullptr;
    bool FIsDropTarget = false;
    bool FDropTargetHelper = true;
};

using TGTDragManagerPtr = std::shared_ptr<TGTDragManager>;
