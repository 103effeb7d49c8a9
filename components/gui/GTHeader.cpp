// The header's properties and services: heights, options, sort column, sizing
// columns (auto-fit, shared resizing, springs, restoring) and splitters.
#include "components/gui/GTHeader.h"

#include "components/gui/GTDragImage.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/TreeUtils.h"

#include <algorithm>

// ---- construction and properties -----------------------------------------------------------------

TGTHeader::TGTHeader(TGridTreeView &Owner)
    : FOwner(Owner)
    , FColumns(std::make_unique<TGridTreeColumns>(Owner))
    , FDragImage(std::make_unique<TGTDragImage>(Owner))
    , FFont(Owner.font())
{
    FDragImage->SetTransparency(140);
    FDragImage->SetPreBlendBias(-50);
    FDragImage->SetPostBlendBias(0);
    FDragImage->SetFade(false);
}

TGTHeader::~TGTHeader() = default;

int TGTHeader::LimitedHeight(int Value) const
{
    Value = std::clamp(Value, FMinHeight, FMaxHeight);
    const int whole = FOwner.ClientHeight() + FHeight;
    if (FFixedAreaConstraints.MaxHeightPercent > 0)
        Value = std::min(Value, whole * FFixedAreaConstraints.MaxHeightPercent / 100);
    if (FFixedAreaConstraints.MinHeightPercent > 0)
        Value = std::max(Value, whole * FFixedAreaConstraints.MinHeightPercent / 100);
    return Value;
}

void TGTHeader::SetHeight(int Value)
{
    if (!FOwner.HasWindow()) {
        FHeight = Value;
        FStates.include(hsNeedScaling);
        return;
    }
    Value = LimitedHeight(Value);
    if (Value == FHeight)
        return;
    FHeight = Value;
    if (!FStates.contains(hsScaling))
        RecalculateHeader();
    FOwner.InvalidateTree();
    Invalidate();
    FOwner.repaint();
}

void TGTHeader::SetDefaultHeight(int Value)
{
    Value = std::clamp(Value, FMinHeight, FMaxHeight);
    if (FHeight == FDefaultHeight)
        SetHeight(Value);
    FDefaultHeight = Value;
}

void TGTHeader::SetMinHeight(int Value)
{
    FMinHeight = std::clamp(Value, 0, FMaxHeight);
    SetHeight(FHeight);
}

void TGTHeader::SetMaxHeight(int Value)
{
    FMaxHeight = std::max(Value, FMinHeight);
    SetHeight(FHeight);
}

void TGTHeader::SetFont(const QFont &Value)
{
    FFont = Value;
    FParentFont = false;
    Invalidate();
}

void TGTHeader::SetParentFont(bool Value)
{
    if (AssignChanged(FParentFont, Value))
        ParentFontChanged();
}

void TGTHeader::ParentFontChanged()
{
    if (!FParentFont)
        return;
    FFont = FOwner.font();
    Invalidate();
}

void TGTHeader::SetOptions(TGTHeaderOptions Value)
{
    if (Value == FOptions)
        return;
    const TGTHeaderOptions old = FOptions;
    FOptions = Value;
    if (old.contains(hoAutoResize) != Value.contains(hoAutoResize) && FColumns->Count() > 0) {
        if (Value.contains(hoAutoResize))
            FColumns->AdjustAutoSize();
        FOwner.UpdateHorizontalScrollBar();
    }
    if (old.contains(hoVisible) != Value.contains(hoVisible))
        RecalculateHeader();
    Invalidate();
    FOwner.InvalidateTree();
}

void TGTHeader::SetStyle(TGTHeaderStyle Value)
{
    if (AssignChanged(FStyle, Value))
        Invalidate();
}

void TGTHeader::SetBackground(TColor Value)
{
    if (AssignChanged(FBackground, Value))
        Invalidate();
}

void TGTHeader::SetAutoSizeIndex(TColumnIndex Value)
{
    if (!AssignChanged(FAutoSizeIndex, Value))
        return;
    if (FOptions.contains(hoAutoResize))
        FColumns->AdjustAutoSize();
}

TColumnIndex TGTHeader::MainColumn() const
{
    return FColumns->Count() > 0 ? FMainColumn : NoColumn;
}

void TGTHeader::SetMainColumn(TColumnIndex Value)
{
    Value = FColumns->Count() == 0 ? NoColumn : std::clamp(Value, 0, FColumns->Count() - 1);
    if (Value == FMainColumn)
        return;
    FMainColumn = Value;
    FOwner.MainColumnChanged();
    FOwner.InvalidateTree();
}

void TGTHeader::SetFixedAreaConstraints(const TGTFixedAreaConstraints &Value)
{
    TGTFixedAreaConstraints c = Value;
    if (c.MaxHeightPercent > 0 && c.MinHeightPercent > c.MaxHeightPercent) {
        // Whichever side changed wins.
        if (c.MaxHeightPercent != FFixedAreaConstraints.MaxHeightPercent)
            c.MinHeightPercent = c.MaxHeightPercent;
        else
            c.MaxHeightPercent = c.MinHeightPercent;
    }
    if (c.MaxWidthPercent > 0 && c.MinWidthPercent > c.MaxWidthPercent) {
        if (c.MaxWidthPercent != FFixedAreaConstraints.MaxWidthPercent)
            c.MinWidthPercent = c.MaxWidthPercent;
        else
            c.MaxWidthPercent = c.MinWidthPercent;
    }
    const bool changed = c.MaxHeightPercent != FFixedAreaConstraints.MaxHeightPercent
        || c.MinHeightPercent != FFixedAreaConstraints.MinHeightPercent
        || c.MaxWidthPercent != FFixedAreaConstraints.MaxWidthPercent
        || c.MinWidthPercent != FFixedAreaConstraints.MinWidthPercent;
    FFixedAreaConstraints = c;
    if (changed)
        RescaleHeader();
}

void TGTHeader::SetImages(TImageList *Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        disconnect(FImages, nullptr, this, nullptr);
    FImages = Value;
    if (FImages) {
        connect(FImages, &TImageList::Changed, this, [this] { Invalidate(); });
        connect(FImages, &QObject::destroyed, this, [this] { FImages = nullptr; });
    }
    Invalidate();
}

TColumnIndex TGTHeader::SortColumn() const
{
    const TBaseGridTree *tree = FOwner.Tree();
    return tree ? tree->SortColumn() : FSortColumn;
}

void TGTHeader::SetSortColumn(TColumnIndex Value)
{
    const TColumnIndex old = SortColumn();
    StoreSortColumn(Value);
    const TColumnIndex now = SortColumn();
    if (now == old)
        return;
    if (FColumns->IsValidColumn(old))
        Invalidate(old);
    if (FColumns->IsValidColumn(now))
        Invalidate(now);
}

void TGTHeader::StoreSortColumn(TColumnIndex Value)
{
    if (TBaseGridTree *tree = FOwner.Tree())
        tree->SetSortColumn(Value);
    else
        FSortColumn = std::clamp(Value, NoColumn, std::max(NoColumn, FColumns->Count() - 1));
}

TSortDirection TGTHeader::SortDirection() const
{
    const TBaseGridTree *tree = FOwner.Tree();
    return tree ? tree->SortDirection() : FSortDirection;
}

void TGTHeader::SetSortDirection(TSortDirection Value)
{
    if (Value == SortDirection())
        return;
    if (TBaseGridTree *tree = FOwner.Tree())
        tree->SetSortDirection(Value);
    else
        FSortDirection = Value;
    Invalidate();
}

// ---- services ---------------------------------------------------------------------------------------

void TGTHeader::RecalculateHeader()
{
    FOwner.UpdateHeaderRect();
}

void TGTHeader::RescaleHeader()
{
    if (!FOwner.HasWindow()) {
        FStates.include(hsNeedScaling);
        return;
    }
    FStates.include(hsScaling);
    FStates.exclude(hsNeedScaling);
    const int height = LimitedHeight(FHeight);
    if (height != FHeight) {
        FHeight = height;
        RecalculateHeader();
        Invalidate();
    }
    // The fixed columns together within their share of the client width.
    int lastFixed = -1;
    for (int position = 0; position < FColumns->Count(); ++position)
        if (FColumns->Items(FColumns->ColumnFromPosition(TColumnPosition(position)))
                .Options()
                .contains(coFixed))
            lastFixed = position;
    if (lastFixed >= 0) {
        const int client = FOwner.ClientWidth();
        const int fixed = FColumns->GetVisibleFixedWidth();
        const TGTColumnOptions options { coVisible, coFixed };
        if (FFixedAreaConstraints.MaxWidthPercent > 0
            && fixed > client * FFixedAreaConstraints.MaxWidthPercent / 100)
            ResizeColumns(
                client * FFixedAreaConstraints.MaxWidthPercent / 100 - fixed, 0, lastFixed, options);
        else if (FFixedAreaConstraints.MinWidthPercent > 0
            && fixed < client * FFixedAreaConstraints.MinWidthPercent / 100)
            ResizeColumns(
                client * FFixedAreaConstraints.MinWidthPercent / 100 - fixed, 0, lastFixed, options);
    }
    FStates.exclude(hsScaling);
}

void TGTHeader::ChangeScale(int M, int D)
{
    if (M == D || D == 0)
        return;
    if (FFont.pixelSize() > 0)
        FFont.setPixelSize(std::max(1, FFont.pixelSize() * M / D));
    else
        FFont.setPointSizeF(FFont.pointSizeF() * M / D);
    Invalidate();
}

bool TGTHeader::AllowFocus(TColumnIndex Column) const
{
    return FColumns->IsValidColumn(Column) && FColumns->Items(Column).Options().contains(coAllowFocus);
}

bool TGTHeader::InHeader(QPoint P) const
{
    return FOptions.contains(hoVisible) && P.y() >= -FHeight && P.y() < 0 && P.x() >= 0
        && P.x() < FOwner.ClientWidth();
}

bool TGTHeader::InHeaderSplitterArea(QPoint P) const
{
    return FOptions.contains(hoVisible) && P.y() >= -2 && P.y() < 2 && P.x() >= 0
        && P.x() < FOwner.ClientWidth();
}

void TGTHeader::Invalidate(TColumnIndex Column, bool ExpandToBorder)
{
    if (!FOptions.contains(hoVisible) || !FOwner.HasWindow())
        return;
    QWidget &strip = FOwner.HeaderWidget();
    if (!FColumns->IsValidColumn(Column)) {
        strip.update();
        return;
    }
    // The cells reach the header's bottom, so ExpandToBorder adds nothing here.
    (void)ExpandToBorder;
    int left = 0;
    int right = 0;
    FColumns->GetColumnBounds(Column, left, right);
    strip.update(left, 0, right - left, FHeight);
}

// ---- sizing columns -----------------------------------------------------------------------------------

void TGTHeader::AutoFitColumns(
    bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStartCol, int RangeEndCol)
{
    const int count = FColumns->Count();
    if (count == 0)
        return;
    RangeStartCol = std::max(RangeStartCol, 0);
    if (RangeEndCol < 0 || RangeEndCol >= count)
        RangeEndCol = count - 1;
    FOwner.BeginOperation();
    struct End {
        TGridTreeView &view;
        ~End() noexcept(false) { view.EndOperation(); }
    } end { FOwner };
    if (FOwner.OnBeforeAutoFitColumns)
        FOwner.OnBeforeAutoFitColumns(*this, SmartAutoFitType);
    for (int position = RangeStartCol; position <= RangeEndCol && !FOwner.OperationCanceled(); ++position) {
        const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(position));
        TGridTreeColumn &column = FColumns->Items(index);
        const TGTColumnOptions options = column.Options();
        if (!options.contains(coResizable) || !options.contains(coVisible))
            continue;
        TSmartAutoFitType smart = SmartAutoFitType;
        bool allowed = true;
        if (FOwner.OnBeforeAutoFitColumn)
            FOwner.OnBeforeAutoFitColumn(*this, index, smart, allowed);
        if (!allowed)
            continue;
        const bool useSmart
            = smart == smaAllColumns || (smart == smaUseColumnOption && options.contains(coSmartResize));
        const int width = FOwner.GetMaxColumnWidth(index, useSmart);
        if (Animated)
            FColumns->AnimatedResize(index, width);
        else
            column.SetWidth(width);
        if (FOwner.OnAfterAutoFitColumn)
            FOwner.OnAfterAutoFitColumn(*this, index);
    }
    if (FOwner.OnAfterAutoFitColumns)
        FOwner.OnAfterAutoFitColumns(*this);
}

int TGTHeader::ResizeColumns(int ChangeBy, int RangeStartCol, int RangeEndCol, TGTColumnOptions Options)
{
    const int count = FColumns->Count();
    RangeStartCol = std::max(RangeStartCol, 0);
    if (RangeEndCol < 0 || RangeEndCol >= count)
        RangeEndCol = count - 1;
    if (ChangeBy == 0 || RangeStartCol > RangeEndCol)
        return 0;
    const bool resizing = FStates.contains(hsResizing);
    FStates.include(hsResizing);
    const int sign = ChangeBy > 0 ? 1 : -1;
    int remaining = ChangeBy;
    bool relaxed = false;
    for (;;) {
        std::vector<TGridTreeColumn *> candidates;
        for (int position = RangeStartCol; position <= RangeEndCol; ++position) {
            TGridTreeColumn &c = FColumns->Items(FColumns->ColumnFromPosition(TColumnPosition(position)));
            if ((c.Options() * Options) == Options
                && (sign > 0 ? c.Width() < c.MaxWidth() : c.Width() > c.MinWidth()))
                candidates.push_back(&c);
        }
        if (candidates.empty())
            break;
        // The odd pixels go first to columns that had none last time.
        std::stable_partition(
            candidates.begin(), candidates.end(), [](const TGridTreeColumn *c) { return !c->BonusPixel(); });
        const int n = int(candidates.size());
        const int share = remaining / n;
        int rest = std::abs(remaining % n);
        bool progress = false;
        for (TGridTreeColumn *c : candidates) {
            int delta = share;
            if (rest > 0) {
                delta += sign;
                --rest;
                c->FBonusPixel = true;
            }
            if (delta == 0)
                continue;
            const int old = c->Width();
            c->SetWidth(std::clamp(old + delta, c->MinWidth(), c->MaxWidth()));
            remaining -= c->Width() - old;
            progress = progress || c->Width() != old;
        }
        if (remaining == 0)
            break;
        if (!progress) {
            // The fixed area's limits give way when nothing else can.
            TGTFixedAreaConstraints &limits = FFixedAreaConstraints;
            int &limit = sign < 0 ? limits.MinWidthPercent : limits.MaxWidthPercent;
            if (relaxed || limit == 0)
                break;
            limit = 0;
            relaxed = true;
        }
        if (std::all_of(candidates.begin(), candidates.end(),
                [](const TGridTreeColumn *c) { return c->BonusPixel(); }))
            for (TGridTreeColumn *c : candidates)
                c->FBonusPixel = false;
    }
    if (!resizing)
        FStates.exclude(hsResizing);
    return ChangeBy - remaining;
}

void TGTHeader::RestoreColumns()
{
    for (int position = FColumns->Count() - 1; position >= 0; --position) {
        TGridTreeColumn &c = FColumns->Items(FColumns->ColumnFromPosition(TColumnPosition(position)));
        if (c.Options().contains(coResizable) && c.Options().contains(coVisible))
            c.RestoreLastWidth();
    }
}

bool TGTHeader::DetermineSplitterIndex(QPoint P)
{
    FColumns->FTrackIndex = NoColumn;
    const int fixedWidth = FColumns->GetVisibleFixedWidth();
    const std::vector<TGridTreeColumn *> visible = FColumns->GetVisibleColumns();
    for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
        TGridTreeColumn &c = **it;
        int left = 0;
        int right = 0;
        FColumns->GetColumnBounds(c.Index(), left, right);
        if (P.x() <= right - 3 || P.x() >= right + 5)
            continue;
        if (!c.Options().contains(coFixed) && P.x() < fixedWidth)
            continue;
        if (!FColumns->CanSplitterResize(P, c.Index()))
            continue;
        FColumns->FTrackIndex = c.Index();
        FTrackPoint = QPoint(P.x() - c.Width(), P.y());
        return true;
    }
    return false;
}

void TGTHeader::UpdateSpringColumns()
{
    const int width = FOwner.ClientWidth();
    if (FOptions.contains(hoAutoSpring) && FLastWidth > 0 && width != FLastWidth) {
        std::vector<TGridTreeColumn *> springs;
        for (TGridTreeColumn *c : FColumns->GetVisibleColumns())
            if (c->Options().contains(coAutoSpring))
                springs.push_back(c);
        int change = width - FLastWidth;
        const float share = float(change) / float(std::max<std::size_t>(springs.size(), 1));
        const bool resizing = FStates.contains(hsResizing);
        FStates.include(hsResizing);
        for (TGridTreeColumn *c : springs) {
            if (change == 0)
                break;
            c->FSpringRest += share;
            const int whole = int(c->FSpringRest);
            if (whole == 0)
                continue;
            const int step = change > 0 ? std::min(whole, change) : std::max(whole, change);
            c->FSpringRest -= float(step);
            c->SetWidth(c->Width() + step);
            change -= step;
        }
        if (!resizing)
            FStates.exclude(hsResizing);
    }
    FLastWidth = width;
}

void TGTHeader::Assign(const TGTHeader &Source)
{
    FColumns->Assign(*Source.FColumns);
    FMinHeight = Source.FMinHeight;
    FMaxHeight = Source.FMaxHeight;
    FDefaultHeight = Source.FDefaultHeight;
    FFont = Source.FFont;
    FParentFont = Source.FParentFont;
    FStyle = Source.FStyle;
    FBackground = Source.FBackground;
    FAutoSizeIndex = Source.FAutoSizeIndex;
    FPopupMenu = Source.FPopupMenu;
    FFixedAreaConstraints = Source.FFixedAreaConstraints;
    SetImages(Source.FImages);
    FMainColumn = Source.FMainColumn;
    SetOptions(Source.FOptions);
    SetHeight(Source.FHeight);
    SetSortColumn(Source.SortColumn());
    SetSortDirection(Source.SortDirection());
    RecalculateHeader();
    Invalidate();
}
