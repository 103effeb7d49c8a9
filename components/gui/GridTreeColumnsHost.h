#pragma once

#include "components/gui/ColumnTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>

// What the columns need from the tree and its header, which own them. The tree
// widget implements it; the columns work without a window through a fake.
class TGridTreeColumnsHost {
public:
    virtual ~TGridTreeColumnsHost() = default;

    // ---- header ----------------------------------------------------------------
    virtual TGTHeaderOptions HeaderOptions() const = 0;
    virtual THeaderStates HeaderStates() const = 0;
    virtual TGTFixedAreaConstraints FixedAreaConstraints() const = 0;
    // The header's rectangle in window coordinates.
    virtual TRect HeaderRect() const = 0;
    // The column indices the header keeps, read and written as plain values
    // (the columns keep them valid when columns go).
    virtual TColumnIndex AutoSizeIndex() const = 0;
    virtual void StoreAutoSizeIndex(TColumnIndex Value) = 0;
    virtual TColumnIndex MainColumn() const = 0;
    virtual void StoreMainColumn(TColumnIndex Value) = 0;
    virtual TColumnIndex SortColumn() const = 0;
    virtual void StoreSortColumn(TColumnIndex Value) = 0;
    // Repaints one column's header cell (down to the header's bottom with
    // ExpandToBorder), or the whole header for NoColumn.
    virtual void InvalidateHeader(TColumnIndex Column = NoColumn, bool ExpandToBorder = false) = 0;
    // Re-applies the fixed-area constraints and height limits.
    virtual void RescaleHeader() = 0;

    // ---- tree --------------------------------------------------------------------
    // The tree or its header is being read (form or stream): setters only store.
    virtual bool IsLoading() const = 0;
    // An update bracket of the tree is open.
    virtual bool IsUpdating() const = 0;
    virtual bool HasWindow() const = 0;
    // The client width (the control's width while there is no window).
    virtual int ClientWidth() const = 0;
    // The tree control's height, header included.
    virtual int TreeHeight() const = 0;
    // The horizontal scroll position, 0 or more.
    virtual int EffectiveOffsetX() const = 0;
    virtual bool UseRightToLeftAlignment() const = 0;
    // How far a right-to-left column area starts from the client's left edge.
    virtual int ComputeRTLOffset() const = 0;
    virtual int Indent() const = 0;
    virtual TColor TreeColor() const = 0;
    virtual TBiDiMode TreeBiDiMode() const = 0;

    virtual void InvalidateTree() = 0;
    virtual void UpdateHorizontalScrollBar() = 0;
    virtual void CancelEditing() = 0;
    // After every width change: rows measured again, repaint, OnColumnResize.
    virtual void DoColumnResize(TColumnIndex Column) = 0;
    // OnCanSplitterResizeColumn may change Allowed.
    virtual void DoCanSplitterResize(QPoint P, TColumnIndex Column, bool &Allowed) = 0;
    // One step of an animated resize: the header and client content from X to
    // the right edge moves DX pixels sideways (a strip it uncovers is filled with
    // the tree's colour), is shown at once, and 1 ms passes.
    virtual void AnimateResizeStep(int X, int DX) = 0;
};
