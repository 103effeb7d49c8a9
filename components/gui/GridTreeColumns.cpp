#include "components/gui/GridTreeColumns.h"

#include "components/GridTreeErrors.h"

#include <algorithm>
#include <cmath>
#include <numeric>

// ---- TGridTreeColumn --------------------------------------------------------------

TGridTreeColumn::TGridTreeColumn(TGridTreeColumns &Owner, TColumnIndex Index)
    : FOwner(Owner)
    , FIndex(Index)
    , FWidth(Owner.DefaultWidth())
    , FPosition(TColumnPosition(Index))
    , FLastWidth(Owner.DefaultWidth())
{
    // Both parent options are on from the start.
    FBiDiMode = Host().TreeBiDiMode();
    FColor = Host().TreeColor();
}

TGridTreeColumnsHost &TGridTreeColumn::Host() const
{
    return FOwner.Host();
}

bool TGridTreeColumn::IsVisibleFixed() const
{
    return FOptions.contains(coVisible) && FOptions.contains(coFixed);
}

void TGridTreeColumn::Changed()
{
    FOwner.Changed(this);
}

void TGridTreeColumn::SetText(const QString &Value)
{
    Store(FText, Value);
}

void TGridTreeColumn::SetWidth(int Value)
{
    TGridTreeColumnsHost &host = Host();
    const THeaderStates states = host.HeaderStates();
    if (!states.contains(hsScaling)) {
        Value = std::min(std::max(Value, FMinWidth), FMaxWidth);
        if (IsVisibleFixed()) {
            // The fixed columns together stay within the header's fixed-area limits.
            const TGTFixedAreaConstraints limits = host.FixedAreaConstraints();
            const int client = host.ClientWidth();
            const int others = FOwner.GetVisibleFixedWidth() - FWidth;
            if (limits.MaxWidthPercent > 0)
                Value = std::min(Value, client * limits.MaxWidthPercent / 100 - others);
            if (limits.MinWidthPercent > 0)
                Value = std::max(Value, client * limits.MinWidthPercent / 100 - others);
            Value = std::max(Value, 0);
        }
    }
    if (Value == FWidth)
        return;
    FLastWidth = FWidth;
    if (!states.contains(hsResizing))
        FBonusPixel = false;
    const bool autoResize = host.HeaderOptions().contains(hoAutoResize);
    if (!autoResize || FOwner.AutoSizeColumn() != FIndex) {
        FWidth = Value;
        FOwner.UpdatePositions();
    }
    if (!host.IsLoading() && !FOwner.IsUpdating()) {
        if (autoResize)
            FOwner.AdjustAutoSize();
        host.DoColumnResize(FIndex);
    }
}

void TGridTreeColumn::SetPosition(TColumnPosition Value)
{
    if (Host().IsLoading()) {
        FPosition = Value; // sorted out by FixPositions
        return;
    }
    if (FOwner.Count() == 0)
        return;
    Value = std::min(Value, TColumnPosition(FOwner.Count() - 1));
    if (Value == FPosition)
        return;
    FOwner.InitializePositionArray();
    const qsizetype slot = FOwner.SlotOf(FIndex);
    if (slot < 0)
        return;
    Host().CancelEditing();
    std::vector<TColumnIndex> &order = FOwner.FPositionToIndex;
    order.erase(order.begin() + slot);
    order.insert(order.begin() + Value, FIndex);
    Changed();
    Host().InvalidateHeader(FIndex);
    Host().InvalidateTree();
    // Fixed columns stay together at the left: take the neighbour's state.
    const bool fromNext = !FOptions.contains(coFixed) || Value == 0;
    const TColumnIndex neighbour = FOwner.ColumnFromPosition(fromNext ? Value + 1 : Value - 1);
    if (FOwner.IsValidColumn(neighbour)) {
        TGTColumnOptions options = FOptions;
        options.set(coFixed, FOwner[neighbour].FOptions.contains(coFixed));
        SetOptions(options);
    }
}

void TGridTreeColumn::SetMinWidth(int Value)
{
    Value = std::clamp(Value, 0, FMaxWidth);
    if (Value == FMinWidth)
        return;
    FMinWidth = Value;
    SetWidth(FWidth);
}

void TGridTreeColumn::SetMaxWidth(int Value)
{
    Value = std::max(Value, FMinWidth);
    if (Value == FMaxWidth)
        return;
    FMaxWidth = Value;
    SetWidth(FWidth);
}

void TGridTreeColumn::SetStyle(TGridTreeColumnStyle Value)
{
    Store(FStyle, Value);
}

void TGridTreeColumn::SetImageIndex(int Value)
{
    Store(FImageIndex, Value);
}

void TGridTreeColumn::SetBiDiMode(TBiDiMode Value)
{
    if (FBiDiMode == Value)
        return;
    FOptions.exclude(coParentBidiMode);
    Store(FBiDiMode, Value);
    Host().InvalidateTree();
}

void TGridTreeColumn::SetLayout(TGTHeaderColumnLayout Value)
{
    Store(FLayout, Value);
}

void TGridTreeColumn::SetMargin(int Value)
{
    Store(FMargin, Value < 0 ? 4 : Value);
}

void TGridTreeColumn::SetSpacing(int Value)
{
    Store(FSpacing, Value);
}

void TGridTreeColumn::SetOptions(TGTColumnOptions Value)
{
    if (FOptions == Value)
        return;
    const TGTColumnOptions old = FOptions;
    FOptions = Value;
    const auto switchedOn = [&](TGTColumnOption o) { return !old.contains(o) && Value.contains(o); };
    const auto switched = [&](TGTColumnOption o) { return old.contains(o) != Value.contains(o); };
    TGridTreeColumnsHost &host = Host();
    if (switchedOn(coParentBidiMode))
        FBiDiMode = host.TreeBiDiMode();
    if (switchedOn(coParentColor))
        FColor = host.TreeColor();
    if (switchedOn(coAutoSpring))
        FSpringRest = 0;
    if (switched(coFixed) && Value.contains(coVisible))
        host.RescaleHeader();
    Changed();
    if (host.IsLoading())
        return;
    if ((switched(coVisible) || switchedOn(coParentColor)) && !host.IsUpdating())
        host.InvalidateTree();
    if (switched(coVisible))
        host.UpdateHorizontalScrollBar();
}

void TGridTreeColumn::SetAlignment(TAlignment Value)
{
    if (Store(FAlignment, Value))
        Host().InvalidateTree();
}

TAlignment TGridTreeColumn::CaptionAlignment() const
{
    return FOptions.contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
}

void TGridTreeColumn::SetCaptionAlignment(TAlignment Value)
{
    TGTColumnOptions options = FOptions;
    options.set(coUseCaptionAlignment, Value != FAlignment);
    if (Value == FCaptionAlignment && options == FOptions)
        return;
    FCaptionAlignment = Value;
    FOptions = options;
    Changed();
}

void TGridTreeColumn::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FOptions.exclude(coParentColor);
    Store(FColor, Value);
    Host().InvalidateTree();
}

void TGridTreeColumn::SetCheckBox(bool Value)
{
    Store(FCheckBox, Value);
}

void TGridTreeColumn::SetCheckType(TCheckType Value)
{
    Store(FCheckType, Value);
}

void TGridTreeColumn::SetCheckState(TCheckState Value)
{
    Store(FCheckState, Value);
}

void TGridTreeColumn::GetAbsoluteBounds(int &Left, int &Right) const
{
    Left = FLeft;
    Right = FLeft + FWidth;
}

TRect TGridTreeColumn::GetRect() const
{
    const TRect header = Host().HeaderRect();
    return Rect(FLeft, header.Top, FLeft + FWidth, header.Bottom);
}

void TGridTreeColumn::RestoreLastWidth()
{
    FOwner.AnimatedResize(FIndex, FLastWidth);
}

void TGridTreeColumn::ParentBiDiModeChanged()
{
    if (FOptions.contains(coParentBidiMode) && FBiDiMode != Host().TreeBiDiMode()) {
        FBiDiMode = Host().TreeBiDiMode();
        Changed();
    }
}

void TGridTreeColumn::ParentColorChanged()
{
    if (FOptions.contains(coParentColor) && FColor != Host().TreeColor()) {
        FColor = Host().TreeColor();
        Changed();
    }
}

QString TGridTreeColumn::DisplayName() const
{
    const bool wide = std::any_of(FText.begin(), FText.end(), [](QChar c) { return c.unicode() > 255; });
    return wide ? QStringLiteral("Column %1").arg(FIndex) : FText;
}

void TGridTreeColumn::Assign(const TGridTreeColumn &Source)
{
    FText = Source.FText;
    FHint = Source.FHint;
    FWidth = Source.FWidth;
    FMinWidth = Source.FMinWidth;
    FMaxWidth = Source.FMaxWidth;
    FStyle = Source.FStyle;
    FImageIndex = Source.FImageIndex;
    FBiDiMode = Source.FBiDiMode;
    FLayout = Source.FLayout;
    FMargin = Source.FMargin;
    FSpacing = Source.FSpacing;
    FOptions = Source.FOptions;
    FTag = Source.FTag;
    FAlignment = Source.FAlignment;
    FCaptionAlignment = Source.FCaptionAlignment;
    FColor = Source.FColor;
    FCheckBox = Source.FCheckBox;
    FCheckType = Source.FCheckType;
    FCheckState = Source.FCheckState;
    FLastWidth = Source.FLastWidth;
    Changed();
}

bool TGridTreeColumn::Equals(const TGridTreeColumn &Other) const
{
    return FText == Other.FText && FHint == Other.FHint && FWidth == Other.FWidth
        && FMinWidth == Other.FMinWidth && FMaxWidth == Other.FMaxWidth && FStyle == Other.FStyle
        && FImageIndex == Other.FImageIndex && FBiDiMode == Other.FBiDiMode && FLayout == Other.FLayout
        && FMargin == Other.FMargin && FSpacing == Other.FSpacing && FOptions == Other.FOptions
        && FTag == Other.FTag && FAlignment == Other.FAlignment
        && CaptionAlignment() == Other.CaptionAlignment() && FColor == Other.FColor
        && FCheckBox == Other.FCheckBox && FCheckType == Other.FCheckType && FCheckState == Other.FCheckState;
}

// ---- TGridTreeColumns -------------------------------------------------------------

TGridTreeColumns::TGridTreeColumns(TGridTreeColumnsHost &Host)
    : FHost(Host)
{ }

TGridTreeColumns::~TGridTreeColumns()
{
    FClearing = true;
    FItems.clear();
}

TGridTreeColumn &TGridTreeColumns::Add()
{
    FItems.push_back(std::unique_ptr<TGridTreeColumn>(new TGridTreeColumn(*this, Count())));
    TGridTreeColumn &column = *FItems.back();
    Changed();
    return column;
}

void TGridTreeColumns::Clear()
{
    FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = NoColumn;
    FDropTarget = FDragIndex = NoColumn;
    if (!FHost.IsLoading()) {
        FHost.StoreAutoSizeIndex(NoColumn);
        FHost.StoreMainColumn(NoColumn);
        FHost.StoreSortColumn(NoColumn);
    }
    FClearing = true;
    FItems.clear();
    FPositionToIndex.clear();
    FClearing = false;
    Changed();
}

void TGridTreeColumns::Delete(TColumnIndex Index)
{
    if (!IsValidColumn(Index))
        throw EGridTreeAssertion(GridTreeTexts::InvalidParameter);
    if (!FClearing)
        RemoveReferences(Index);
    FItems.erase(FItems.begin() + Index);
    for (TColumnIndex i = Index; i < Count(); ++i)
        FItems[std::size_t(i)]->FIndex = i;
    Changed();
}

void TGridTreeColumns::RemoveReferences(TColumnIndex Index)
{
    const qsizetype slot = SlotOf(Index);
    if (slot >= 0)
        FPositionToIndex.erase(FPositionToIndex.begin() + slot);
    for (TColumnIndex &entry : FPositionToIndex)
        if (entry > Index)
            --entry;
    const auto follow = [Index](TColumnIndex value) {
        return value == Index ? NoColumn : value > Index ? value - 1 : value;
    };
    for (TColumnIndex *index :
        { &FHoverIndex, &FDownIndex, &FTrackIndex, &FClickIndex, &FDropTarget, &FDragIndex })
        *index = follow(*index);
    FHost.StoreAutoSizeIndex(follow(FHost.AutoSizeIndex()));
    FHost.StoreSortColumn(follow(FHost.SortColumn()));
    // The main column moves to the first column when it goes, and keeps naming
    // the same column when one before it goes.
    const TColumnIndex main = FHost.MainColumn();
    if (main == Index)
        FHost.StoreMainColumn(Count() > 1 ? 0 : NoColumn);
    else if (main > Index)
        FHost.StoreMainColumn(main - 1);
}

void TGridTreeColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TGridTreeColumns::Changed(TGridTreeColumn *Item)
{
    if (FUpdateCount == 0)
        Update(Item);
}

void TGridTreeColumns::Update(TGridTreeColumn *Item)
{
    InitializePositionArray();
    if (FHost.IsLoading())
        FNeedPositionsFix = true;
    else
        UpdatePositions();
    if (Count() > 0 && FHost.MainColumn() < 0)
        FHost.StoreMainColumn(0);
    if (!FHost.IsLoading() && FHost.HeaderOptions().contains(hoAutoResize))
        AdjustAutoSize();
    if (Item) {
        FHost.InvalidateHeader(Item->FIndex);
    } else {
        FHost.UpdateHorizontalScrollBar();
        FHost.InvalidateHeader();
        FHost.InvalidateTree();
    }
}

void TGridTreeColumns::InitializePositionArray()
{
    const std::size_t count = FItems.size();
    const std::size_t old = FPositionToIndex.size();
    if (old == count)
        return;
    FPositionToIndex.resize(count);
    if (count > old) {
        // New columns appear last.
        std::iota(FPositionToIndex.begin() + qsizetype(old), FPositionToIndex.end(), TColumnIndex(old));
    } else {
        // Entries past the new end come down to the last index.
        for (TColumnIndex &entry : FPositionToIndex)
            entry = std::min(entry, TColumnIndex(count) - 1);
    }
}

void TGridTreeColumns::UpdatePositions(bool Force)
{
    if (FNeedPositionsFix || (!Force && IsUpdating()))
        return;
    int left = 0;
    for (std::size_t position = 0; position < FPositionToIndex.size(); ++position) {
        TGridTreeColumn &column = Items(FPositionToIndex[position]);
        column.FPosition = TColumnPosition(position);
        column.FLeft = left;
        if (column.FOptions.contains(coVisible))
            left += column.FWidth;
    }
}

std::vector<TColumnIndex> TGridTreeColumns::StoredPositionOrder() const
{
    if (!FNeedPositionsFix && FPositionToIndex.size() == FItems.size())
        return FPositionToIndex;
    // Stored positions may repeat or run past the end: order by them, ties by index.
    std::vector<TColumnIndex> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [this](TColumnIndex a, TColumnIndex b) { return Items(a).FPosition < Items(b).FPosition; });
    return order;
}

void TGridTreeColumns::FixPositions()
{
    FNeedPositionsFix = true;
    FPositionToIndex = StoredPositionOrder();
    FNeedPositionsFix = false;
    UpdatePositions(true);
}

void TGridTreeColumns::ReorderColumns(bool RTL)
{
    InitializePositionArray();
    for (std::size_t position = 0; position < FPositionToIndex.size(); ++position)
        FPositionToIndex[position] = TColumnIndex(RTL ? FPositionToIndex.size() - 1 - position : position);
    Changed();
}

qsizetype TGridTreeColumns::SlotOf(TColumnIndex Column) const
{
    const auto it = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), Column);
    return it == FPositionToIndex.end() ? -1 : it - FPositionToIndex.begin();
}

TColumnIndex TGridTreeColumns::AutoSizeColumn() const
{
    const TColumnIndex index = FHost.AutoSizeIndex();
    return IsValidColumn(index) ? index : Count() - 1;
}

void TGridTreeColumns::AdjustAutoSize(bool Force)
{
    if (Count() == 0)
        return;
    const TColumnIndex index = AutoSizeColumn();
    TGridTreeColumn &column = Items(index);
    int width = FHost.ClientWidth();
    for (const auto &other : FItems)
        if (other->FIndex != index && other->FOptions.contains(coVisible))
            width -= other->FWidth;
    width = std::max(std::min(width, column.FMaxWidth), column.FMinWidth);
    if (Force || width != column.FWidth) {
        column.FWidth = width;
        UpdatePositions();
        FHost.DoColumnResize(index);
    }
}

TColumnIndex TGridTreeColumns::ColumnFromPosition(QPoint P, bool Relative) const
{
    if (P.x() < 0 || P.y() < 0 || P.y() > FHost.TreeHeight())
        return InvalidColumn;
    int sum = 0;
    if (Relative && P.x() >= GetVisibleFixedWidth())
        sum = -FHost.EffectiveOffsetX();
    if (FHost.UseRightToLeftAlignment())
        sum += FHost.ComputeRTLOffset();
    for (const TColumnIndex index : FPositionToIndex) {
        const TGridTreeColumn &column = Items(index);
        if (!column.FOptions.contains(coVisible))
            continue;
        sum += column.FWidth;
        if (P.x() < sum)
            return index;
    }
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::ColumnFromPosition(TColumnPosition PositionIndex) const
{
    return PositionIndex < FPositionToIndex.size() ? FPositionToIndex[PositionIndex] : NoColumn;
}

void TGridTreeColumns::GetColumnBounds(TColumnIndex Column, int &Left, int &Right) const
{
    if (!IsValidColumn(Column)) {
        Left = Right = 0;
        return;
    }
    const TGridTreeColumn &column = Items(Column);
    Left = column.FLeft;
    // Fixed columns do not scroll.
    if (!column.IsVisibleFixed())
        Left -= FHost.EffectiveOffsetX();
    if (FHost.UseRightToLeftAlignment())
        Left += FHost.ComputeRTLOffset();
    Right = Left + column.FWidth;
}

TColumnIndex TGridTreeColumns::Walk(TColumnIndex Column, int Step, bool VisibleOnly) const
{
    const qsizetype start = IsValidColumn(Column) ? SlotOf(Column) : -1;
    if (start < 0)
        return InvalidColumn;
    for (qsizetype slot = start + Step; slot >= 0 && slot < qsizetype(FPositionToIndex.size());
         slot += Step) {
        const TColumnIndex index = FPositionToIndex[std::size_t(slot)];
        if (!VisibleOnly || Items(index).FOptions.contains(coVisible))
            return index;
    }
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const
{
    for (const TColumnIndex index : FPositionToIndex) {
        const TGTColumnOptions options = Items(index).FOptions;
        if (options.contains(coVisible) && (!ConsiderAllowFocus || options.contains(coAllowFocus)))
            return index;
    }
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const
{
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it) {
        const TGTColumnOptions options = Items(*it).FOptions;
        if (options.contains(coVisible) && (!ConsiderAllowFocus || options.contains(coAllowFocus)))
            return *it;
    }
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::GetNextColumn(TColumnIndex Column) const
{
    return Walk(Column, 1, false);
}

TColumnIndex TGridTreeColumns::GetNextVisibleColumn(TColumnIndex Column) const
{
    return Walk(Column, 1, true);
}

TColumnIndex TGridTreeColumns::GetPreviousColumn(TColumnIndex Column) const
{
    return Walk(Column, -1, false);
}

TColumnIndex TGridTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column) const
{
    return Walk(Column, -1, true);
}

std::vector<TGridTreeColumn *> TGridTreeColumns::GetVisibleColumns() const
{
    std::vector<TGridTreeColumn *> result;
    for (const TColumnIndex index : FPositionToIndex)
        if (Items(index).FOptions.contains(coVisible))
            result.push_back(&Items(index));
    return result;
}

int TGridTreeColumns::GetVisibleFixedWidth() const
{
    int width = 0;
    for (const auto &column : FItems)
        if (column->IsVisibleFixed())
            width += column->FWidth;
    return width;
}

int TGridTreeColumns::GetScrollWidth() const
{
    int sum = 0;
    int count = 0;
    for (const auto &column : FItems) {
        if (column->FOptions.contains(coVisible) && !column->FOptions.contains(coFixed)) {
            sum += column->FWidth;
            ++count;
        }
    }
    return count > 0 ? int(std::nearbyint(double(sum) / count)) : FHost.Indent();
}

int TGridTreeColumns::TotalWidth() const
{
    const TColumnIndex last = GetLastVisibleColumn();
    return IsValidColumn(last) ? Items(last).FLeft + Items(last).FWidth : 0;
}

bool TGridTreeColumns::Equals(const TGridTreeColumns &Other) const
{
    if (Count() != Other.Count() || FDefaultWidth != Other.FDefaultWidth
        || FPositionToIndex != Other.FPositionToIndex)
        return false;
    for (TColumnIndex i = 0; i < Count(); ++i)
        if (!Items(i).Equals(Other.Items(i)))
            return false;
    return true;
}

void TGridTreeColumns::Assign(const TGridTreeColumns &Source)
{
    BeginUpdate();
    Clear();
    FDefaultWidth = Source.FDefaultWidth;
    for (const auto &column : Source.FItems)
        Add().Assign(*column);
    FPositionToIndex = Source.FPositionToIndex;
    EndUpdate();
}

void TGridTreeColumns::AdjustDownColumn(QPoint P)
{
    const TColumnIndex column = ColumnFromPosition(P);
    if (!IsValidColumn(column) || column == FDownIndex)
        return;
    const TGTColumnOptions options = Items(column).FOptions;
    if (!options.contains(coAllowClick) || !options.contains(coEnabled))
        return;
    const TColumnIndex old = FDownIndex;
    FDownIndex = column;
    if (IsValidColumn(old))
        FHost.InvalidateHeader(old);
    FHost.InvalidateHeader(column);
}

bool TGridTreeColumns::AdjustHoverColumn(QPoint P)
{
    TColumnIndex column = ColumnFromPosition(P);
    if (!IsValidColumn(column))
        column = NoColumn;
    if (column == FHoverIndex)
        return false;
    const TColumnIndex old = FHoverIndex;
    FHoverIndex = column;
    if (IsValidColumn(old))
        FHost.InvalidateHeader(old);
    if (IsValidColumn(column))
        FHost.InvalidateHeader(column);
    return true;
}

bool TGridTreeColumns::CanSplitterResize(QPoint P, TColumnIndex Column)
{
    if (!IsValidColumn(Column))
        return false;
    const TGTColumnOptions options = Items(Column).FOptions;
    bool allowed = options.contains(coResizable) && options.contains(coVisible);
    FHost.DoCanSplitterResize(P, Column, allowed);
    return allowed;
}

void TGridTreeColumns::AnimatedResize(TColumnIndex Column, int NewWidth)
{
    if (!IsValidColumn(Column))
        return;
    TGridTreeColumn &column = Items(Column);
    NewWidth = std::min(std::max(NewWidth, column.FMinWidth), column.FMaxWidth);
    const bool animate = NewWidth != column.FWidth && FHost.HasWindow()
        && !FHost.HeaderOptions().contains(hoDisableAnimatedResize)
        && !column.FOptions.contains(coDisableAnimatedResize);
    const int step = (NewWidth - column.FWidth) / 32;
    if (animate && step != 0) {
        int left = 0;
        int right = 0;
        GetColumnBounds(Column, left, right);
        for (int i = 0; i < 32; ++i)
            FHost.AnimateResizeStep(right + i * step, step);
    }
    column.SetWidth(NewWidth);
}
