#pragma once

#include "components/gui/ColumnTypes.h"
#include "components/gui/GridTreeColumnsHost.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;
class TGridTreeColumns;
class TGTHeader;
struct TColumnBlock;

// One column of a tree. Its index is its place in the collection (fixed unless
// columns before it go), its position its place on screen. Setters act only on
// a change and have the collection repaint what the change touches.
class TGridTreeColumn {
public:
    TGridTreeColumn(const TGridTreeColumn &) = delete;
    TGridTreeColumn &operator=(const TGridTreeColumn &) = delete;

    TGridTreeColumns &Owner() const { return FOwner; }
    TColumnIndex Index() const { return FIndex; }

    const QString &Text() const { return FText; }
    void SetText(const QString &Value);
    const QString &Hint() const { return FHint; }
    void SetHint(const QString &Value) { FHint = Value; }
    // The left edge in the column area, unscrolled (GetColumnBounds gives the
    // client coordinates).
    int Left() const { return FLeft; }
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TGridTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TGridTreeColumnStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TGTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TGTHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TGTColumnOptions Options() const { return FOptions; }
    void SetOptions(TGTColumnOptions Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The caption's alignment: its own with coUseCaptionAlignment, else Alignment.
    TAlignment CaptionAlignment() const;
    // Setting an alignment other than Alignment switches coUseCaptionAlignment
    // on, setting Alignment's switches it off.
    void SetCaptionAlignment(TAlignment Value);
    int LastWidth() const { return FLastWidth; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool BonusPixel() const { return FBonusPixel; }
    float SpringRest() const { return FSpringRest; }
    const QString &CaptionText() const { return FCaptionText; }
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    TRect ImageRect() const { return FImageRect; }
    bool HasImage() const { return FHasImage; }

    // Left and Left + Width.
    void GetAbsoluteBounds(int &Left, int &Right) const;
    // The header cell in window coordinates.
    TRect GetRect() const;
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // Resizes (animated) back to the width before the last change.
    void RestoreLastWidth();
    // The tree's bidi mode or colour changed: copied while the parent option is on.
    void ParentBiDiModeChanged();
    void ParentColorChanged();
    // Text, or "Column N" when the text holds characters beyond code point 255.
    QString DisplayName() const;

    // Copies or compares every property a layout consists of (the collection
    // copies and compares the positions).
    void Assign(const TGridTreeColumn &Source);
    bool Equals(const TGridTreeColumn &Other) const;

private:
    friend class TGridTreeColumns;
    friend class TGTHeader;

    TGridTreeColumn(TGridTreeColumns &Owner, TColumnIndex Index);
    TGridTreeColumnsHost &Host() const;
    bool IsVisibleFixed() const;
    // The collection's change notification for this column.
    void Changed();
    // Stores a changed value and notifies; true when it changed.
    template <typename T> bool Store(T &Field, const T &Value)
    {
        if (Field == Value)
            return false;
        Field = Value;
        Changed();
        return true;
    }

    TGridTreeColumns &FOwner;
    TColumnIndex FIndex;
    QString FText;
    QString FHint;
    int FLeft = 0;
    int FWidth;
    TColumnPosition FPosition;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TGridTreeColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TGTHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 4;
    TGTColumnOptions FOptions = DefaultColumnOptions;
    int FTag = 0;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FCaptionAlignment = taLeftJustify;
    int FLastWidth;
    TColor FColor = clWindow;
    bool FBonusPixel = false;
    float FSpringRest = 0;
    QString FCaptionText;
    bool FCheckBox = false;
    TCheckType FCheckType = TCheckType::ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    TRect FImageRect;
    bool FHasImage = false;
};

// The columns of a tree, owned by its header.
class TGridTreeColumns {
public:
    explicit TGridTreeColumns(TGridTreeColumnsHost &Host);
    ~TGridTreeColumns();
    TGridTreeColumns(const TGridTreeColumns &) = delete;
    TGridTreeColumns &operator=(const TGridTreeColumns &) = delete;

    TGridTreeColumnsHost &Host() const { return FHost; }

    // A new column at the last position.
    TGridTreeColumn &Add();
    void Clear();
    // Removes column Index; the indices the header and the columns keep follow.
    void Delete(TColumnIndex Index);
    int Count() const { return int(FItems.size()); }
    TGridTreeColumn &Items(TColumnIndex Index) const { return *FItems.at(std::size_t(Index)); }
    TGridTreeColumn &operator[](TColumnIndex Index) const { return Items(Index); }
    // Changes inside an update are reported once, at the last EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }

    TColumnIndex ClickIndex() const { return FClickIndex; }
    // The column a press on the tree's rows fell in.
    void SetClickIndex(TColumnIndex Value) { FClickIndex = Value; }
    TColumnIndex HoverIndex() const { return FHoverIndex; }
    TColumnIndex DownIndex() const { return FDownIndex; }
    TColumnIndex TrackIndex() const { return FTrackIndex; }
    TColumnIndex DropTarget() const { return FDropTarget; }
    TColumnIndex DragIndex() const { return FDragIndex; }
    bool DropBefore() const { return FDropBefore; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    // The off-screen image the header is painted into.
    QImage &HeaderBitmap() { return FHeaderBitmap; }

    // The visible column under P (header coordinates); with Relative, points
    // right of the fixed columns are scrolled. InvalidColumn for none.
    TColumnIndex ColumnFromPosition(QPoint P, bool Relative = true) const;
    // The column at a position, NoColumn out of range.
    TColumnIndex ColumnFromPosition(TColumnPosition PositionIndex) const;
    // A column's horizontal extent in client coordinates.
    void GetColumnBounds(TColumnIndex Column, int &Left, int &Right) const;
    // Walks in position order; InvalidColumn past the ends and for a bad start.
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column) const;
    std::vector<TGridTreeColumn *> GetVisibleColumns() const;
    int GetVisibleFixedWidth() const;
    // The horizontal scroll step: the average width of the visible scrolling
    // columns, or the tree's indent without any.
    int GetScrollWidth() const;
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    int TotalWidth() const;

    // Every column's properties and the position order.
    bool Equals(const TGridTreeColumns &Other) const;
    void Assign(const TGridTreeColumns &Source);
    // The column block of the header's stream record (HeaderStream.cpp). Loading
    // replaces every column; a bad block raises EGridTreeError and changes nothing.
    TColumnBlock SaveToBlock() const;
    void LoadFromBlock(const TColumnBlock &Block);
    void SaveToStream(QIODevice &Stream) const;
    void LoadFromStream(QIODevice &Stream, int Version);

    // The auto-size column (the header's AutoSizeIndex, else the last one)
    // takes the client width the other visible columns leave.
    void AdjustAutoSize(bool Force = false);
    void AdjustDownColumn(QPoint P);
    // True when the hover column changed.
    bool AdjustHoverColumn(QPoint P);
    bool CanSplitterResize(QPoint P, TColumnIndex Column);
    void AnimatedResize(TColumnIndex Column, int NewWidth);
    // Positions the reverse of the indices (right to left) or equal to them.
    void ReorderColumns(bool RTL);
    // After loading: positions from the columns' stored Position values.
    void FixPositions();
    void InitializePositionArray();
    void UpdatePositions(bool Force = false);

private:
    friend class TGridTreeColumn;
    friend class TGTHeader;

    TColumnIndex AutoSizeColumn() const;
    // The position order: the array, or the one the stored positions give
    // while they wait to be sorted out.
    std::vector<TColumnIndex> StoredPositionOrder() const;
    qsizetype SlotOf(TColumnIndex Column) const;
    // Next/previous column in position order from Column, optionally visible only.
    TColumnIndex Walk(TColumnIndex Column, int Step, bool VisibleOnly) const;
    void Changed(TGridTreeColumn *Item = nullptr);
    void Update(TGridTreeColumn *Item);
    void RemoveReferences(TColumnIndex Index);

    TGridTreeColumnsHost &FHost;
    std::vector<std::unique_ptr<TGridTreeColumn>> FItems;
    std::vector<TColumnIndex> FPositionToIndex;
    QImage FHeaderBitmap;
    TColumnIndex FHoverIndex = NoColumn;
    TColumnIndex FDownIndex = NoColumn;
    TColumnIndex FTrackIndex = NoColumn;
    TColumnIndex FClickIndex = NoColumn;
    TColumnIndex FDropTarget = NoColumn;
    TColumnIndex FDragIndex = NoColumn;
    bool FDropBefore = false;
    int FDefaultWidth = 50;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    int FUpdateCount = 0;
};
