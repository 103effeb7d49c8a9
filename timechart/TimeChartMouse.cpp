#include "timechart/TimeChartMouse.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateList.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "resources/Cursors.h"
#include "timechart/BarIndex.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolTip>
#include <cmath>

namespace {

// How far the pointer must travel with the right button down before it scrolls
// instead of opening the popup.
constexpr int ScrollThreshold = 2;
// Ticks of the group-tab countdown, one per countdown cursor.
constexpr int ChangeGroupTicks = 9;

Qt::KeyboardModifiers KeysOf(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

TRect Normalized(QPoint a, QPoint b)
{
    return Rect(
        std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y()));
}

bool Contains(const TRect &r, QPoint p)
{
    return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}

} // namespace

TTimeChartMouse::TTimeChartMouse(TTimeChart &chart, Document &doc, ITimeChartHost &host)
    : FChart(chart)
    , FDoc(doc)
    , FHost(host)
{
    FChangeGroupTimer.setInterval(60);
    connect(&FChangeGroupTimer, &QTimer::timeout, this, &TTimeChartMouse::TimeChartChangeGroupTimerTimer);
}

TTimeChartMouse::~TTimeChartMouse()
{
    if (FTimeChartMouseState != msNone && FTimeChartMouseState != msPoppedUp)
        TScreenCursor::Set(crDefault);
}

TNodeData *TTimeChartMouse::GrabbedNode() const
{
    return FGrabbedID.isEmpty() ? nullptr : FDoc.FindNode(FGrabbedID, FGrabbedTable);
}

int TTimeChartMouse::RowAt(int y) const
{
    return (FChart.TimeChartTop() + y) / FChart.TimeChartRowHeight(0);
}

std::vector<TNodeData *> TTimeChartMouse::Selected(TWhichTable table) const
{
    std::vector<TNodeData *> rows;
    FDoc.ForEach(table, feSelected, [&rows](TNodeData &node) { rows.push_back(&node); });
    return rows;
}

void TTimeChartMouse::SetSelected(TNodeData &node, bool selected)
{
    DocumentTable &table = FDoc.GetTable(node.NodeTable);
    if (table.IsSelected(&node) == selected)
        return;
    // Painted where it was with the marks of a selected bar (shadow, arrow, date box).
    if (!selected)
        FDoc.InvalidateNode(&node, true);
    table.SetSelected(&node, selected);
    node.RecalcBitmap = true;
    FDoc.InvalidateNode(&node, true);
}

void TTimeChartMouse::ClearSelection(TWhichTable table)
{
    for (TNodeData *node : Selected(table))
        SetSelected(*node, false);
}

void TTimeChartMouse::StartUndoGroup()
{
    FUndoGroup = FDoc.UndoRedo().GetGroupIndex();
    FDoc.SetUndoRedoGroupIndex(FUndoGroup);
}

// --- the band and the cursors ---

void TTimeChartMouse::InvalidateBand()
{
    const TChartPaintMouse &paint = FChart.PaintMouse();
    if (!paint.RubberBand)
        return;
    // The frame is one pixel inside the band's edges.
    const TRect r = Normalized(paint.Mouse, paint.LastMouse);
    TCanvasPanel &panel = FChart.TimeChart();
    panel.Invalidate(ToQRect(Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Top + 2)));
    panel.Invalidate(ToQRect(Rect(r.Left - 1, r.Bottom - 2, r.Right + 1, r.Bottom + 1)));
    panel.Invalidate(ToQRect(Rect(r.Left - 1, r.Top - 1, r.Left + 2, r.Bottom + 1)));
    panel.Invalidate(ToQRect(Rect(r.Right - 2, r.Top - 1, r.Right + 1, r.Bottom + 1)));
}

void TTimeChartMouse::SetBand(bool shown, QPoint from, QPoint to)
{
    TChartPaintMouse &paint = FChart.PaintMouse();
    if (paint.RubberBand == shown && paint.Mouse == from && paint.LastMouse == to)
        return;
    InvalidateBand(); // the old band goes
    paint.RubberBand = shown;
    paint.Mouse = from;
    paint.LastMouse = to;
    InvalidateBand(); // the new one comes
}

void TTimeChartMouse::SetChartCursor(int id)
{
    if (id == FChartCursor)
        return;
    FChartCursor = id;
    FChart.TimeChart().setCursor(MakeCursor(id));
}

void TTimeChartMouse::SetHint(const QString &hint)
{
    if (hint == FHint)
        return;
    FHint = hint;
    FChart.TimeChart().setToolTip(DisplayText(hint));
    QToolTip::hideText(); // the new hint shows when the pointer rests
}

// --- mouse down ---

void TTimeChartMouse::TimeChartMouseDown(QMouseEvent &event)
{
    const QPoint point = event.position().toPoint();
    const Qt::KeyboardModifiers keys = KeysOf(event.modifiers());
    FShiftHeld = keys & Qt::ShiftModifier;
    FLastGlobal = event.globalPosition().toPoint();
    FChart.TimeChart().setFocus(Qt::MouseFocusReason);
    if (FTimeChartMouseState == msPoppedUp) {
        FTimeChartMouseState = msNone;
        FGrabbedID.clear();
    }
    if (FTimeChartMouseState != msNone)
        return; // a second button during a gesture
    // What lies under the press decides the gesture, whether or not the pointer
    // rested there before.
    FLastMouse = point;
    UpdateTimeChartHint();
    FMouse = FMouseWhenDown = FPressPoint = point;
    FPointerShift = QPoint();
    FBandDragged = false;
    FTimeChartStartOnMouseDown = FChart.TimeChartStart();
    FTimeChartTopOnMouseDown = FChart.TimeChartTop();

    if (event.button() == Qt::RightButton) {
        FTimeChartMouseState = msPopup;
        return;
    }
    if (event.button() != Qt::LeftButton)
        return;
    TNodeData *grabbed = GrabbedNode();
    const int rowsBottom = FChart.TimeChartRowHeight(0) * FDoc.GetRowCount();
    if (keys == Qt::ShiftModifier)
        FTimeChartMouseState = msSelectItem;
    else if (keys == Qt::NoModifier && !grabbed && point.y() + FChart.TimeChartTop() < rowsBottom)
        FTimeChartMouseState = msNewItem;
    if (!grabbed) {
        if (keys != Qt::ControlModifier)
            ClearSelection(FDoc.GetActiveTable());
        return;
    }

    FDoc.SetActiveTable(grabbed->NodeTable);
    StartUndoGroup();
    FDateRef = FChart.TimeChartXToDate(point.x()) - FDoc.GetStartOf(grabbed);
    const bool ctrl = keys & Qt::ControlModifier;
    DocumentTable &table = FDoc.GetTable(grabbed->NodeTable);
    // A press on a selected bar keeps the selection, so the whole selection can
    // be dragged by any of its bars; Ctrl adds or removes the bar.
    if (ctrl) {
        SetSelected(*grabbed, !table.IsSelected(grabbed));
    } else if (!table.IsSelected(grabbed)) {
        ClearSelection(grabbed->NodeTable);
        SetSelected(*grabbed, true);
    }
    if (table.IsSelected(grabbed))
        FHost.FocusNode(*grabbed);

    const TRect bar = FChart.ItemRect(grabbed, false);
    switch (FGrip) {
    case TGrip::Move:
        FTimeChartMouseState = msMoveItem;
        FChart.PaintMouse().MovingItems = true;
        TScreenCursor::Set(crHandClosed);
        break;
    case TGrip::ResizeLeft:
    case TGrip::ResizeRight:
        // The edge away from the pointer stays; the band follows the pointer.
        FTimeChartMouseState = msResizeItem;
        FMouse.setX(FGrip == TGrip::ResizeRight ? bar.Left : bar.Right);
        FMouseWhenDown.setX(FMouse.x());
        break;
    case TGrip::None:
        break;
    }
    FChart.StartFlashSelected();
}

// --- mouse move ---

void TTimeChartMouse::TimeChartMouseMove(QMouseEvent &event)
{
    FShiftHeld = KeysOf(event.modifiers()) & Qt::ShiftModifier;
    FLastGlobal = event.globalPosition().toPoint();
    Move(event.position().toPoint(), event.buttons(), event.modifiers());
}

void TTimeChartMouse::Move(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    point = GesturePoint(point);
    const int x = point.x(), y = point.y();
    switch (FTimeChartMouseState) {
    case msPopup:
        if (std::abs(x - FMouseWhenDown.x()) <= ScrollThreshold
            && std::abs(y - FMouseWhenDown.y()) <= ScrollThreshold) {
            FLastMouse = point;
            return;
        }
        FTimeChartMouseState = msScroll;
        TScreenCursor::Set(crSizeAll);
        [[fallthrough]];
    case msScroll:
        if (FHost.ProgramSettings().NaturalScroll) { // the content follows the hand
            FChart.SetTimeChartDestination(
                FTimeChartStartOnMouseDown + double(FMouse.x() - x) / FChart.GetTimeChartColWidth(),
                FTimeChartTopOnMouseDown + (FMouse.y() - y), false);
        } else { // a day or a pixel per pixel of travel, in the pointer's direction
            FChart.SetTimeChartDestination(FChart.GetTimeChartStartDestination() + (x - FMouse.x()),
                FChart.GetTimeChartTopDestination() + (y - FMouse.y()), false);
            FMouse = point;
        }
        FLastMouse = point;
        return;
    case msMoveItem:
        PickTabUnderPointer();
        MoveItems(point);
        FLastMouse = point;
        return;
    case msSelectItem:
        if (KeysOf(modifiers) == Qt::ShiftModifier && (buttons & Qt::LeftButton) && !GrabbedNode())
            SelectByBand(point);
        FLastMouse = point;
        return;
    case msNewItem:
    case msResizeItem:
        DragBand(point);
        return;
    case msNone:
        FLastMouse = point;
        // The hover pass runs once the events of this turn are handled.
        if (!FHoverPending) {
            FHoverPending = true;
            QTimer::singleShot(0, this, [this] {
                if (FHoverPending)
                    UpdateTimeChartHint();
            });
        }
        return;
    case msPoppedUp:
        FLastMouse = point;
        return;
    }
}

void TTimeChartMouse::PickTabUnderPointer()
{
    QTabBar &tabs = FChart.TabControl1();
    const QPoint at = tabs.mapFromGlobal(FLastGlobal);
    const int tab = tabs.rect().contains(at) ? tabs.tabAt(at) : -1;
    if (FChangeGroupTimer.isActive())
        return;
    if (tab >= 0 && tab != tabs.currentIndex()) {
        FChangeGroupTag = 0;
        FChangeGroupTimer.start();
    } else {
        TScreenCursor::Set(crHandClosed);
    }
}

void TTimeChartMouse::MoveItems(QPoint point)
{
    TNodeData *grabbed = GrabbedNode();
    if (!grabbed) { // deleted meanwhile
        EndGesture();
        return;
    }
    const bool minutes = FDoc.GetMinUnit() == muMinute;
    double delta = FChart.TimeChartXToDate(point.x()) - FDateRef - FDoc.GetStartOf(grabbed);
    if (!minutes)
        delta = std::trunc(delta);
    const int grabbedRow = FDoc.GetPositionOf(grabbed);
    // A bar over all positions moves no rows.
    const int rowDelta = grabbedRow == kAllPositions ? 0 : RowAt(point.y()) - grabbedRow;

    const TWhichTable active = FDoc.GetActiveTable();
    const std::vector<TNodeData *> selection = Selected(active);
    const int rows = FDoc.GetRowCount();
    bool rowsMove = rowDelta != 0;
    bool datesMove = delta != 0;
    const TDateTime now = minutes ? Now() : Today();
    const bool denyPast = FHost.DocumentSettings().DenyMoveBeforeNow;
    for (TNodeData *node : selection) {
        const int row = FDoc.GetPositionOf(node);
        if (row != kAllPositions && (row + rowDelta < 0 || row + rowDelta >= rows))
            rowsMove = false;
        if (denyPast && FDoc.GetStartOf(node) + delta < now)
            datesMove = false;
    }
    if (!rowsMove && !datesMove)
        return;
    for (TNodeData *node : selection) {
        const int row = FDoc.GetPositionOf(node);
        if (rowsMove && row != kAllPositions)
            FDoc.SetPositionOf(node, row + rowDelta);
        if (!datesMove)
            continue;
        // A time outside the working day of the new start's weekday goes to its edge.
        TDateTime start = FDoc.GetStartOf(node) + delta;
        const TDayInfo &day = FDoc.GetWeekInfo(FDoc.GetPositionOf(node))[DayOfWeek(start) - 1];
        const TDateTime date = DatePart(start);
        if (start - date < day.start)
            start = date + day.start;
        else if (start - date > day.ende)
            start = date + day.ende;
        FDoc.SetStartOf(node, start);
    }
    FChart.CenterNode(grabbed);
}

void TTimeChartMouse::DragBand(QPoint point)
{
    const int rowHeight = FChart.TimeChartRowHeight(0);
    const int top = FChart.TimeChartTop();
    FMouse.setY(RowAt(FMouse.y()) * rowHeight - top + 2);
    int x = point.x();
    if (!(FDoc.GetMinUnit() == muMinute && FDoc.GetActiveTable() == tbTable)) {
        const int day = FChart.GetTimeChartColWidth();
        FMouse.setX(FMouse.x() / day * day);
        x = x / day * day;
    }
    const int bottom = FMouse.y() + rowHeight - 5;
    FLastMouse = QPoint(x, bottom);
    FBandDragged = FBandDragged || point != FPressPoint;
    SetBand(true, FMouse, FLastMouse);
}

void TTimeChartMouse::SelectByBand(QPoint point)
{
    if (point != FLastMouse || !FChart.PaintMouse().RubberBand)
        SetBand(true, FMouse, point);
    const TRect band = Normalized(FMouse, point);
    const TWhichTable table = FDoc.GetActiveTable();
    const double first = FChart.TimeChartXToDate(band.Left);
    const double last = FChart.TimeChartXToDate(band.Right);
    // Only rows whose days meet the band can meet it; every other row is deselected.
    std::vector<TNodeData *> inside;
    for (TNodeData *node : FChart.Painter().Index().Rows(FDoc, table, first - 1, last + 1)) {
        const TRect r = FChart.ItemRect(node, false);
        if (!r.IsEmpty() && !IntersectRect(r, band).IsEmpty())
            inside.push_back(node);
    }
    for (TNodeData *node : Selected(table))
        if (std::find(inside.begin(), inside.end(), node) == inside.end())
            SetSelected(*node, false);
    for (TNodeData *node : inside)
        SetSelected(*node, true);
}

// --- mouse up ---

void TTimeChartMouse::TimeChartMouseUp(QMouseEvent &event)
{
    const QPoint point = GesturePoint(event.position().toPoint());
    FShiftHeld = KeysOf(event.modifiers()) & Qt::ShiftModifier;
    TNodeData *grabbed = GrabbedNode();
    switch (FTimeChartMouseState) {
    case msMoveItem: {
        const TWhichTable active = FDoc.GetActiveTable();
        const std::vector<TNodeData *> moved = Selected(active);
        FHost.RefilterNodes(active, moved);
        for (TNodeData *node : moved)
            FDoc.InvalidateNode(node, true);
        break;
    }
    case msPopup:
        if (event.button() == Qt::RightButton)
            OpenPopup(point, event.globalPosition().toPoint());
        break;
    case msNewItem:
    case msResizeItem:
        SetBand(false, FMouse, FLastMouse);
        if (FMouse.x() != FLastMouse.x() && FBandDragged)
            ApplyBand(grabbed);
        break;
    case msSelectItem:
        SetBand(false, FMouse, FLastMouse);
        break;
    default:
        break;
    }
    EndGesture();
    Move(event.position().toPoint(), Qt::NoButton, event.modifiers());
}

void TTimeChartMouse::OpenPopup(QPoint point, QPoint screenPos)
{
    TNodeData *grabbed = GrabbedNode();
    // A click beside every bar keeps the selection.
    if (grabbed && !FDoc.GetTable(grabbed->NodeTable).IsSelected(grabbed)) {
        ClearSelection(grabbed->NodeTable);
        SetSelected(*grabbed, true);
    }
    TChartPopupActions actions;
    actions.Split = grabbed && Contains(FChart.ItemRect(grabbed, false), point);
    actions.CutCopy = FDoc.GetTable(FDoc.GetActiveTable()).SelectedCount() > 0;
    actions.Paste = FHost.NumPasteableNodes() == 1;
    FTimeChartMouseState = msPoppedUp;
    FHost.TimeChartPopup(point, screenPos, actions);
}

void TTimeChartMouse::ApplyBand(TNodeData *grabbed)
{
    const bool resize = FTimeChartMouseState == msResizeItem;
    if (resize && !grabbed)
        return; // the row went meanwhile
    QPoint left = FMouse, right = FLastMouse;
    if (left.x() > right.x())
        std::swap(left.rx(), right.rx());
    const int row = RowAt(left.y());
    TDateTime start, end;
    const TWhichTable active = FDoc.GetActiveTable();
    if (FDoc.GetMinUnit() == muMinute && active == tbTable) {
        start = FChart.GetExactDate(left.x(), row);
        end = FChart.GetExactDate(right.x(), row);
    } else {
        const int day = FChart.GetTimeChartColWidth();
        start = left.x() / day + FChart.TimeChartStart();
        end = right.x() / day + FChart.TimeChartStart();
    }
    TNewEntry entry;
    entry.LabelBegin = FDoc.FormatDateTime(start);
    for (TWhichTable table : { tbTable, tbExclude })
        entry.LabelEnd[table] = FDoc.FormatDateTime(FDoc.calcEndOf(table, row, start, end));
    entry.LabelPos = TCommaText(FDoc.ChartRows().GlobalPositionFilter().value(row)).Item(0);
    entry.table = active;
    if (!resize && !FHost.NewEntryDialog(entry))
        return;
    FDoc.SetActiveTable(entry.table);
    StartUndoGroup();
    if (resize) {
        if (FDoc.GetPositionOf(grabbed) != kAllPositions)
            FDoc.SetPositionOf(grabbed, row);
        FDoc.SetStartOf(grabbed, start);
        FDoc.SetLengthOf(grabbed, FDoc.calcLengthOf(*grabbed, start, end));
    } else {
        FDoc.SetFocusNewNode(true);
        TNodeData *node = FDoc.AddNode(FDoc.GetFreeID(), entry.table, true);
        FDoc.SetStartOf(node, start);
        FDoc.SetLengthOf(node, FDoc.calcLengthOf(entry.table, row, start, end));
        FDoc.SetPositionOf(node, row);
    }
    if (FDoc.GetTable(entry.table).RowCount() == 1)
        FHost.FitColumnsToContents(entry.table);
}

void TTimeChartMouse::EndGesture()
{
    SetBand(false, FMouse, FLastMouse);
    FChart.PaintMouse().MovingItems = false;
    FDoc.SetUndoRedoGroupIndex(-1);
    FUndoGroup = -1;
    FPointerShift = QPoint();
    if (FTimeChartMouseState != msPoppedUp)
        FTimeChartMouseState = msNone;
    TScreenCursor::Set(crDefault);
}

// --- keys ---

void TTimeChartMouse::TimeChartKeyDown(QKeyEvent &event)
{
    FShiftHeld = KeysOf(event.modifiers()) & Qt::ShiftModifier;
    if (event.key() != Qt::Key_Escape)
        return;
    FChangeGroupTimer.stop();
    switch (FTimeChartMouseState) {
    case msNewItem:
    case msResizeItem:
        EndGesture();
        break;
    case msMoveItem: {
        // Only this gesture's changes are undone: the newest group is its own.
        const auto &undo = FDoc.UndoRedo().undoList();
        const bool ours = FUndoGroup >= 0 && !undo.empty() && undo.back()->FGroupIndex == FUndoGroup;
        EndGesture();
        if (ours)
            FDoc.UndoRedo().Undo();
        break;
    }
    default:
        break;
    }
}

void TTimeChartMouse::TimeChartKeyUp(QKeyEvent &event)
{
    FShiftHeld = KeysOf(event.modifiers()) & Qt::ShiftModifier;
}

// --- hover ---

TNodeData *TTimeChartMouse::RecordAt(QPoint point, bool &hidden) const
{
    const TWhichTable active = FDoc.GetActiveTable();
    const double date = FChart.TimeChartXToDate(point.x());
    for (TWhichTable table : { active, active == tbTable ? tbExclude : tbTable }) {
        const DocumentTable &rows = FDoc.GetTable(table);
        for (TNodeData *node : FChart.Painter().Index().Rows(FDoc, table, date - 1, date + 1)) {
            if (Contains(FChart.ItemRect(node, false), point)) {
                hidden = rows.IsHidden(node);
                return node;
            }
        }
    }
    return nullptr;
}

void TTimeChartMouse::UpdateTimeChartHint()
{
    FHoverPending = false;
    if (FTimeChartMouseState != msNone || FDoc.ChartRows().GlobalPositionFilter().isEmpty())
        return;
    const QPoint point = FLastMouse;
    QString hint;
    bool hidden = false;
    TNodeData *grabbed = RecordAt(point, hidden);
    if (grabbed && hidden) {
        hint = Translate(QStringLiteral("filtered tasks cannot be modified"));
        grabbed = nullptr;
    } else if (grabbed) {
        hint = RecordHint(*grabbed);
    }

    FGrabbedPosition = -1;
    const int row = RowAt(point.y());
    for (int r = std::max(0, row - 1); r <= std::min(FDoc.GetRowCount() - 1, row + 1); ++r) {
        if (!FChart.isMultiRow(r) && Contains(FChart.PositionRect(r), point)) {
            grabbed = nullptr;
            FGrabbedPosition = r;
            hint = PositionHint(r);
        }
    }
    if (hint.isEmpty())
        hint = HolidayHintAt(point);
    SetHint(hint);

    FGrabbedID = grabbed ? grabbed->ID : QString();
    FGrabbedTable = grabbed ? grabbed->NodeTable : tbTable;
    FGrip = TGrip::None;
    if (!grabbed) {
        SetChartCursor(crDefault);
        return;
    }
    const TRect bar = FChart.ItemRect(grabbed, false);
    const int grab = FChart.ResizeGrabWidth();
    const TWhichTable active = FDoc.GetActiveTable();
    if (FDoc.GetTable(active).SelectedCount() == 1 && point.x() < bar.Left + grab) {
        FGrip = TGrip::ResizeLeft;
        SetChartCursor(crSizeWE);
    } else if (FDoc.GetTable(active).SelectedCount() == 1 && point.x() >= bar.Right - grab) {
        FGrip = TGrip::ResizeRight;
        SetChartCursor(crSizeWE);
    } else {
        FGrip = TGrip::Move;
        SetChartCursor(grabbed->NodeTable == active ? crHandOpen : crHandSwitch);
    }
}

QString TTimeChartMouse::RecordHint(const TNodeData &node) const
{
    const TWhichTable table = node.NodeTable;
    QString hint = FDoc.GetData_(&node, cnStart) + QStringLiteral(" - ") + FDoc.GetData_(&node, cnEnd);
    if (table == tbExclude)
        return hint + QStringLiteral("\r(") + FDoc.GetData_(&node, cnTextCenterMiddle) + QLatin1Char(')');
    QStringList lines;
    for (int column = 0; column < FDoc.GetTableColCount(table); ++column) {
        const TConnection role = FDoc.GetColumnConnection(table, column);
        if (role == cnStart || role == cnEnd || role == cnLength)
            continue;
        lines << FDoc.GetColumnCaption(table, column) + QStringLiteral(": ") + FHost.CellText(node, column);
    }
    return hint + QStringLiteral("\r\r") + lines.join(QLatin1Char('\r'));
}

QString TTimeChartMouse::PositionHint(int row) const
{
    return TCommaText(FDoc.ChartRows().GlobalPositionFilter().value(row)).Strings().join(QLatin1Char('\r'));
}

QString TTimeChartMouse::HolidayHintAt(QPoint point) const
{
    const double date = FChart.TimeChartXToDate(point.x());
    for (const TDateListItem &entry : FDoc.AutoExcludeList()) {
        if (entry.name.isEmpty() || DatePart(entry.start) < DatePart(date) - 1)
            continue;
        if (entry.start > date + 1)
            break;
        const TDateTime day = DatePart(entry.start);
        if (Contains(FChart.TimeChartRect(day, day + 1, kAllPositions, true, false), point))
            return entry.name;
    }
    return QString();
}

// --- moving the selection into another group ---

void TTimeChartMouse::TimeChartChangeGroupTimerTimer()
{
    if (FDoc.IsUpdating()) // a document is being loaded
        return;
    TScreenCursor::Set(crHandTimer1 + FChangeGroupTag);
    if (++FChangeGroupTag < ChangeGroupTicks)
        return;
    FChangeGroupTimer.stop();
    QTabBar &tabs = FChart.TabControl1();
    const QPoint at = tabs.mapFromGlobal(FLastGlobal);
    const int tab = tabs.rect().contains(at) ? tabs.tabAt(at) : -1;
    if (tab < 0 || tab == tabs.currentIndex())
        return;
    const std::vector<TNodeData *> selection = Selected(FDoc.GetActiveTable());
    std::vector<QString> ids;
    for (TNodeData *node : selection)
        ids.push_back(node->ID);
    const TWhichTable table = FDoc.GetActiveTable();
    tabs.setCurrentIndex(tab);
    // A switch after the button went up is an action of its own.
    const bool ownGroup = FTimeChartMouseState != msMoveItem;
    if (ownGroup)
        StartUndoGroup();
    for (const QString &id : ids) {
        TNodeData *node = FDoc.FindNode(id, table);
        if (!node)
            continue;
        if (FDoc.GetPositionOf(node) != kAllPositions)
            FDoc.SetPositionOf(node, 0);
        SetSelected(*node, true);
        FHost.FocusNode(*node);
    }
    if (ownGroup) {
        FDoc.SetUndoRedoGroupIndex(-1);
        FUndoGroup = -1;
    }
}

void TTimeChartMouse::RideAlong(QPoint shift)
{
    if (FTimeChartMouseState != msMoveItem || shift.isNull())
        return;
    // Where the window system lets a program move the pointer, it moves; elsewhere
    // the gesture counts the pointer as moved.
    static const bool warps = QGuiApplication::platformName() == QLatin1String("xcb");
    if (warps)
        QCursor::setPos(QCursor::pos() + shift);
    else
        FPointerShift += shift;
}
