#pragma once

#include "components/BaseGridTree.h"
#include "components/gui/ColumnTypes.h"
#include "components/gui/HeaderTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QBasicTimer>
#include <QFont>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <memory>

class QEvent;
class QIODevice;
class QPainter;
class TGridTreeColumns;
class TGridTreeView;
class TGTDragImage;
class TImageList;

// The column header of a tree view: it owns the columns, is painted into an
// image, and turns mouse input over it (in tree-window coordinates: the
// header's top-left corner is 0, 0) into clicks, hot tracking, column and
// header resizing and column dragging, reported through the view's header
// events. The sort column and direction are the node store's.
class TGTHeader : public QObject {
    Q_OBJECT

public:
    explicit TGTHeader(TGridTreeView &Owner);
    ~TGTHeader() override;

    TGridTreeView &Treeview() const { return FOwner; }
    TGridTreeColumns &Columns() const { return *FColumns; }

    // ---- properties ------------------------------------------------------------------
    int Height() const { return FHeight; }
    // Limited by MinHeight, MaxHeight and the fixed-area percentages; stored
    // as it is until the window exists.
    void SetHeight(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    const QFont &Font() const { return FFont; }
    // Switches ParentFont off.
    void SetFont(const QFont &Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // The tree's font changed: copied while ParentFont is on.
    void ParentFontChanged();
    TGTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TGTHeaderOptions Value);
    THeaderStates States() const { return FStates; }
    TGTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TGTHeaderStyle Value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor Value);
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *Value) { FPopupMenu = Value; }
    // -1 without columns.
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex Value);
    TGTFixedAreaConstraints FixedAreaConstraints() const { return FFixedAreaConstraints; }
    // A maximum below its minimum lowers the minimum, a minimum above its
    // maximum raises the maximum; any change rescales the header.
    void SetFixedAreaConstraints(const TGTFixedAreaConstraints &Value);
    TImageList *Images() const { return FImages; }
    void SetImages(TImageList *Value);
    // The store's sort column (-1 .. column count - 1) and direction; a change
    // repaints the affected cells and, with toAutoSort, sorts.
    TColumnIndex SortColumn() const;
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const;
    void SetSortDirection(TSortDirection Value);
    TGTDragImage &DragImage() const { return *FDragImage; }

    // ---- services ----------------------------------------------------------------------
    // Makes room for the header above the client area.
    void RecalculateHeader();
    // Re-applies the fixed-area constraints and the height limits.
    void RescaleHeader();
    void ChangeScale(int M, int D);
    bool AllowFocus(TColumnIndex Column) const;
    // P (client coordinates) lies on the header.
    bool InHeader(QPoint P) const;
    // P (client coordinates) lies within 2 pixels of the header's lower edge.
    bool InHeaderSplitterArea(QPoint P) const;
    // Repaints one column's cell (down to the header's bottom with
    // ExpandToBorder), or the whole header for NoColumn.
    void Invalidate(TColumnIndex Column = NoColumn, bool ExpandToBorder = false);
    // Sizes the columns at the positions RangeStartCol .. RangeEndCol (-1: the
    // last) to their widest content.
    void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
        int RangeStartCol = -1, int RangeEndCol = -1);
    // Shares ChangeBy out over the columns at those positions that have Options
    // and room within their limits; returns the part applied.
    int ResizeColumns(
        int ChangeBy, int RangeStartCol, int RangeEndCol, TGTColumnOptions Options = { coVisible });
    // Every resizable visible column goes back to its width before the last change.
    void RestoreColumns();
    // The column whose right edge is under P (window coordinates) becomes the
    // track column; true when there is one.
    bool DetermineSplitterIndex(QPoint P);
    // Shares a change of the header's width out over the columns with coAutoSpring.
    void UpdateSpringColumns();
    void Assign(const TGTHeader &Source);
    // The header with its columns as one record (HeaderStream.cpp). A bad record
    // raises EGridTreeError and changes nothing.
    void SaveToStream(QIODevice &Stream) const;
    void LoadFromStream(QIODevice &Stream);

    // The header's share of the tree window's input (P in window coordinates):
    // true when consumed.
    bool HandleMessage(QEvent *Event, QPoint P);
    // The mouse left the header window.
    void MouseLeft();
    // Escape or the tree losing the focus: a drag is cancelled, tracking ended.
    void CancelTracking();
    // A click at P: the hit info goes to OnHeaderClick or OnHeaderDblClick.
    void HandleClick(QPoint P, Qt::MouseButton Button, bool Force, bool DblClick);

    // Paints the whole header into the columns' header bitmap and copies the
    // part R of it to Target at Offset.
    void PaintHeader(QPainter &Target, const TRect &R, QPoint Offset);

protected:
    void timerEvent(QTimerEvent *Event) override;

private:
    friend class TGridTreeView;

    void StoreMainColumn(TColumnIndex Value) { FMainColumn = Value; }
    void StoreAutoSizeIndex(TColumnIndex Value) { FAutoSizeIndex = Value; }
    void StoreSortColumn(TColumnIndex Value);
    int LimitedHeight(int Value) const;
    void MouseDown(Qt::MouseButton Button, TShiftState Shift, QPoint P);
    void MouseMove(TShiftState Shift, QPoint P);
    void MouseUp(Qt::MouseButton Button, TShiftState Shift, QPoint P);
    void DoubleClick(TShiftState Shift, QPoint P);
    void StartColumnDrag(QPoint P);
    void UpdateDropTarget(QPoint P);
    void EndColumnDrag(QPoint P);
    void ShowPopupMenu(QPoint P);
    void UpdateCursor(QPoint P);
    // Paints the whole header into the columns' header bitmap.
    void UpdateHeaderBitmap();
    // Paints one column cell (or the background with no column).
    void PaintCell(QPainter &Painter, TGridTreeColumn *Column, const TRect &R, bool ShowRightBorder);
    void DrawButtonFace(QPainter &Painter, const TRect &R, bool Hover, bool Down, bool Enabled);

    TGridTreeView &FOwner;
    std::unique_ptr<TGridTreeColumns> FColumns;
    std::unique_ptr<TGTDragImage> FDragImage;
    int FHeight = 17;
    int FDefaultHeight = 17;
    int FMinHeight = 10;
    int FMaxHeight = 10000;
    QFont FFont;
    bool FParentFont = false;
    TGTHeaderOptions FOptions { hoColumnResize, hoDrag, hoShowSortGlyphs };
    THeaderStates FStates;
    QPoint FTrackPoint;
    QPoint FTrackStart;
    QPoint FDragStart;
    TGTHeaderStyle FStyle = hsThickButtons;
    TColor FBackground = clBtnFace;
    TColumnIndex FAutoSizeIndex = NoColumn;
    QPointer<QMenu> FPopupMenu;
    TColumnIndex FMainColumn = NoColumn;
    TGTFixedAreaConstraints FFixedAreaConstraints;
    TImageList *FImages = nullptr;
    // The sort column while no store is shown.
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = sdAscending;
    int FLastWidth = 0;
    // Where the mouse was last seen (window coordinates), and whether inside.
    QPoint FLastMouse;
    bool FMouseInside = false;
    // The release after a double click or a cancelled press clicks nothing.
    bool FIgnoreRelease = false;
    // Timer 3: notices the mouse leaving the header or the pressed column.
    QBasicTimer FHeaderTimer;
};
