// Hints and tooltips: which hint a point of the tree window has, when it
// shows, and the tree's hint window showing it.
#include "components/gui/DrawGridTree.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeHintWindow.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/StringGridTree.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

namespace {

// How far below the mouse a hint is proposed: the height of the cursor.
constexpr int CursorHeight = 20;

} // namespace

void TGridTreeView::PrepareHints()
{
    // Hover events tell where the mouse rests without mouse tracking.
    viewport()->setAttribute(Qt::WA_Hover);
    viewport()->installEventFilter(this);
    HeaderWidget().setAttribute(Qt::WA_Hover);
    HeaderWidget().installEventFilter(this);
}

TGridTreeHintWindow *TGridTreeView::HintWindow() const
{
    return FHintWindow;
}

void TGridTreeView::SetHintMode(TGTHintMode Value)
{
    if (Value == FHintMode)
        return;
    CancelHint();
    FHintMode = Value;
}

QString TGridTreeView::DoGetNodeHint(TGridNode *, TColumnIndex, TGTHintLineBreakStyle &LineBreakStyle)
{
    LineBreakStyle = hlbDefault;
    return toolTip();
}

QString TGridTreeView::DoGetNodeTooltip(TGridNode *, TColumnIndex, TGTHintLineBreakStyle &LineBreakStyle)
{
    LineBreakStyle = hlbDefault;
    return toolTip();
}

bool TGridTreeView::DoGetHintSize(TGridNode *, TColumnIndex, TRect &)
{
    return false;
}

bool TGridTreeView::DoDrawHint(QPainter &, TGridNode *, const TRect &, TColumnIndex)
{
    return false;
}

bool TGridTreeView::CMHintShowPause(QPoint P) const
{
    // Header hints and tooltips need no pause.
    const bool header
        = P.y() < 0 && FHeader->Options().contains(hoShowHint) && FHeader->Columns().Count() > 0;
    return header || FHintMode == hmTooltip;
}

bool TGridTreeView::CMHintShow(QPoint P, QPoint &HintPos)
{
    const bool shown = FindHint(P, HintPos);
    if (!shown) {
        FLastHintRect = TRect();
        DoViewStateChange({}, { tsHint });
    }
    return shown;
}

bool TGridTreeView::FindHint(QPoint P, QPoint &HintPos)
{
    if (!FTree)
        return false;
    const TGridTreeColumns &columns = FHeader->Columns();
    const int headerHeight = FHeader->Options().contains(hoVisible) ? FHeader->Height() : 0;
    // Active: the window has the user's attention, or an edit runs elsewhere.
    THitInfo hit;
    if (P.y() >= 0)
        GetHitTestInfoAt(P.x(), P.y(), true, hit);
    TGridNode *node = hit.HitNode;
    const bool active = IsEditing() ? node != FEditNode : window()->isActiveWindow() || hasFocus();
    if (QWidget::mouseGrabber() || !FShowHint || Dragging() || IsMouseSelecting()
        || FViewStates.contains(tsScrolling) || !FHeader->States().empty() || !active)
        return false;

    TGTHintData hint;
    hint.Tree = this;
    const QPoint global = viewport()->mapToGlobal(P);
    HintPos = global + QPoint(0, CursorHeight);

    // The header's column hints.
    if (P.y() < 0) {
        if (columns.Count() == 0 || !FHeader->Options().contains(hoShowHint) || P.y() < -headerHeight)
            return false;
        const TColumnIndex column = columns.ColumnFromPosition(QPoint(P.x(), P.y() + headerHeight));
        if (!columns.IsValidColumn(column) || (QGuiApplication::mouseButtons() & Qt::LeftButton)
            || columns[column].Hint().isEmpty())
            return false;
        int left = 0;
        int right = 0;
        columns.GetColumnBounds(column, left, right);
        FLastHintRect = Rect(left, -headerHeight, right, 0);
        HintPos.setY(std::max(HintPos.y(), viewport()->mapToGlobal(QPoint(0, 0)).y()));
        hint.Column = column;
        hint.DefaultHint = columns[column].Hint();
        return ActivateTreeHint(hint, HintPos, false);
    }

    // The control's own hint as any control shows it.
    if (FHintMode == hmDefault)
        return false;

    const TColumnIndex column = hit.HitColumn;
    if (column < NoColumn || (columns.Count() > 0 && !columns.IsValidColumn(column)))
        node = nullptr;
    if (!node) {
        // Outside the nodes: the control's hint, in the tree's window.
        if (FHintMode != hmHintAndDefault || toolTip().isEmpty())
            return false;
        FLastHintRect = Rect(0, 0, ClientWidth(), ClientHeight());
        hint.DefaultHint = toolTip();
        return ActivateTreeHint(hint, HintPos, false);
    }
    // A draw tree shows a hint only where it gives one a size.
    TRect size;
    if (DoGetHintSize(node, column, size) && size.IsEmpty())
        return false;
    int left = 0;
    int right = ClientWidth();
    if (columns.IsValidColumn(column)) {
        columns.GetColumnBounds(column, left, right);
        // Spanning into the empty cells to the right.
        if (FOptions->AutoOptions().contains(toAutoSpanColumns)) {
            for (TColumnIndex next = columns.GetNextVisibleColumn(column);
                 columns.IsValidColumn(next) && ColumnIsEmpty(node, next);
                 next = columns.GetNextVisibleColumn(next)) {
                int l = 0;
                int r = 0;
                columns.GetColumnBounds(next, l, r);
                right = r;
            }
        }
    }
    hint.Node = node;
    hint.Column = column;

    if (FHintMode != hmTooltip) {
        const TRect row = GetDisplayRect(node, NoColumn, false);
        const int top = row.Top;
        const int bottom = row.Bottom;
        FLastHintRect = Rect(left, top, right, bottom);
        HintPos.setY(std::max(HintPos.y(), viewport()->mapToGlobal(QPoint(0, bottom)).y()) + 2);
        return ActivateTreeHint(hint, HintPos, false);
    }

    // Tooltips: the full text of a clipped cell, right over it.
    TRect text;
    if (node->Has(vsMultiline)) {
        // Over the label only; the text is clipped to the cell.
        if (!hit.HitPositions.contains(hiOnItemLabel))
            return false;
        text = GetDisplayRect(node, column, true, false, true);
    } else {
        text = GetDisplayRect(node, column, true, true, true);
        const QPoint margin = DoGetCellContentMargin(node, column, ccmtBottomRightOnly);
        if (!text.Contains(P) || P.x() < left || P.x() >= right)
            return false;
        const bool cut = text.Right + margin.x() > std::min(ClientWidth(), right - 1)
            || text.Left < std::max(left, 0) || text.Bottom + margin.y() > ClientHeight() || text.Top < 0;
        if (!cut)
            return false;
    }
    FLastHintRect = text;
    HintPos = viewport()->mapToGlobal(text.TopLeft());
    return ActivateTreeHint(hint, HintPos, true);
}

bool TGridTreeView::ActivateTreeHint(const TGTHintData &Data, QPoint HintPos, bool Tooltip)
{
    if (!FHintWindow)
        FHintWindow = new TGridTreeHintWindow(this);
    FHintData = Data;
    DoViewStateChange({ tsHint });
    UpdateFreedNodeWatch();
    QScreen *screen = QGuiApplication::screenAt(HintPos);
    const int maxWidth = screen ? screen->availableGeometry().width() : 1000;
    TRect r = FHintWindow->CalcHintRect(maxWidth, QStringLiteral(" "), FHintData);
    if (r.IsEmpty()) {
        FHintWindow->HideHint();
        return false;
    }
    // A tooltip's rectangle starts at (-1, -1) from the cell's text.
    r = OffsetRect(r, HintPos.x() - (Tooltip ? 0 : r.Left), HintPos.y() - (Tooltip ? 0 : r.Top));
    FHintWindow->ActivateHint(r, QStringLiteral(" "));
    return true;
}

void TGridTreeView::CancelHint()
{
    FLastHintRect = TRect();
    FHintData = TGTHintData();
    DoViewStateChange({}, { tsHint });
    if (FHintWindow)
        FHintWindow->HideHint();
    UpdateFreedNodeWatch();
}

void TGridTreeView::HintMouseAt(QPoint P, bool Rested)
{
    // Still in the area the hint was given for: nothing new to ask.
    if (FLastHintRect.Contains(P))
        return;
    if (FViewStates.contains(tsHint) || (FHintWindow && FHintWindow->isVisible()))
        CancelHint();
    FLastHintRect = TRect();
    if (!Rested && !CMHintShowPause(P))
        return;
    QPoint pos;
    CMHintShow(P, pos);
}

void TGridTreeView::HintMouseLeft()
{
    // A hint shown under the mouse (a tooltip lies over its cell) takes the
    // mouse from the tree's window for a moment, until the window system
    // lets the mouse through it: the hint stays while the mouse is still
    // over the tree in the area it was given for.
    const QPoint global = QCursor::pos();
    if (!rect().contains(mapFromGlobal(global)) || !FLastHintRect.Contains(viewport()->mapFromGlobal(global)))
        CancelHint();
}

bool TGridTreeView::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched != this && Watched == verticalScrollBar()->parentWidget()) {
        const QEvent::Type type = Event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)
            UpdateHeaderRect();
        return false;
    }
    const bool header = Watched == &HeaderWidget();
    if (Watched != viewport() && !header)
        return QAbstractScrollArea::eventFilter(Watched, Event);
    const int headerHeight = FHeader->Options().contains(hoVisible) ? FHeader->Height() : 0;
    // Client coordinates: the header lies above the client area.
    const auto client
        = [&](QPointF Local) { return QPoint(int(Local.x()), int(Local.y()) - (header ? headerHeight : 0)); };
    switch (Event->type()) {
    case QEvent::HoverMove:
        HintMouseAt(client(static_cast<QHoverEvent *>(Event)->position()), false);
        break;
    case QEvent::ToolTip: {
        const QPoint p = client(static_cast<QHelpEvent *>(Event)->pos());
        if (FLastHintRect.Contains(p) && FViewStates.contains(tsHint))
            return true;
        QPoint pos;
        if (CMHintShow(p, pos))
            return true;
        break;
    }
    case QEvent::HoverLeave:
        HintMouseLeft();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        CancelHint();
        break;
    default:
        break;
    }
    return false;
}

// ---- the string tree's and the draw tree's hints ---------------------------------------------------

QString TCustomStringGridTree::DoGetNodeHint(
    TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle)
{
    QString result = TGridTreeView::DoGetNodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint)
        OnGetHint(*this, Node, Column, LineBreakStyle, result);
    return result;
}

QString TCustomStringGridTree::DoGetNodeTooltip(
    TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle)
{
    // Without a handler a tooltip shows the cell's text.
    if (!OnGetHint) {
        LineBreakStyle = hlbDefault;
        return Node ? Text(Node, Column) : QString();
    }
    return DoGetNodeHint(Node, Column, LineBreakStyle);
}

bool TCustomDrawGridTree::DoGetHintSize(TGridNode *Node, TColumnIndex Column, TRect &R)
{
    R = TRect();
    if (OnGetHintSize)
        OnGetHintSize(*this, Node, Column, R);
    return true;
}

bool TCustomDrawGridTree::DoDrawHint(QPainter &Canvas, TGridNode *Node, const TRect &R, TColumnIndex Column)
{
    if (!OnDrawHint)
        return false;
    OnDrawHint(*this, Canvas, Node, R, Column);
    return true;
}
