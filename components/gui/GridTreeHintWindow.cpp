#include "components/gui/GridTreeHintWindow.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "platform/gui/TextDraw.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

TGridTreeHintWindow::TGridTreeHintWindow(QWidget *Owner)
    : QWidget(Owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

TGridTreeHintWindow::~TGridTreeHintWindow() = default;

QString TGridTreeHintWindow::HintTextFor(TGridTreeView &Tree, QFont &Font)
{
    Font = QToolTip::font();
    if (!FHintData.DefaultHint.isEmpty())
        return FHintData.DefaultHint;
    if (Tree.HintMode() == hmTooltip) {
        QString text;
        TRect r;
        if (FHintData.Node)
            Tree.GetTextInfo(FHintData.Node, FHintData.Column, Font, r, text);
        return Tree.DoGetNodeTooltip(FHintData.Node, FHintData.Column, FHintData.LineBreakStyle);
    }
    return Tree.DoGetNodeHint(FHintData.Node, FHintData.Column, FHintData.LineBreakStyle);
}

TRect TGridTreeHintWindow::CalcHintRect(int MaxWidth, const QString &, const TGTHintData &Data)
{
    FHintData = Data;
    TGridTreeView *tree = Data.Tree;
    if (!tree)
        return {};
    TGridNode *node = FHintData.Node;
    // A draw tree sizes its node hints itself.
    if (node && FHintData.DefaultHint.isEmpty()
        && tree->DoGetHintSize(node, FHintData.Column, FHintData.HintRect))
        return FHintData.HintRect.IsEmpty() ? TRect() : FHintData.HintRect;

    const TGridTreeColumns &columns = tree->Header().Columns();
    const bool hasColumn = columns.IsValidColumn(FHintData.Column);
    FHintData.BidiMode = hasColumn ? columns[FHintData.Column].BiDiMode() : tree->TreeBiDiMode();
    FHintData.Alignment = hasColumn ? columns[FHintData.Column].Alignment() : tree->Alignment();
    if (FHintData.BidiMode != bdLeftToRight && FHintData.Alignment != taCenter)
        FHintData.Alignment = FHintData.Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    QFont font;
    FHintData.HintText = HintTextFor(*tree, font);
    if (FHintData.HintText.isEmpty())
        return {};
    const QFontMetrics metrics(font);
    FTextHeight = metrics.height();
    setFont(font);

    const bool tooltip = node && FHintData.DefaultHint.isEmpty() && tree->HintMode() == hmTooltip;
    if (!tooltip) {
        // One line per line of the text, no wrapping; room for the frame and the margins.
        const QRect measured = metrics.boundingRect(
            QRect(0, 0, MaxWidth, FTextHeight), Qt::TextExpandTabs, FHintData.HintText);
        return Rect(0, 0, measured.width() + 2 * tree->TextMargin() + 2,
            std::max(measured.height(), FTextHeight) + 6);
    }

    if (FHintData.LineBreakStyle == hlbDefault)
        FHintData.LineBreakStyle = node->Has(vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
    TRect r;
    if (FHintData.LineBreakStyle == hlbForceSingleLine) {
        r = tree->LastHintRect();
        if (tree->TreeOptions().PaintOptions().contains(toShowHorzGridLines))
            --r.Bottom;
        r = Bounds(0, 0, r.Width(), r.Height());
    } else {
        const TRect text = tree->GetDisplayRect(node, FHintData.Column, true, false, true);
        const int margin = tree->TextMargin();
        const QRect measured
            = metrics.boundingRect(QRect(0, 0, std::max(1, text.Width() - 2 * margin), 100000),
                Qt::TextWordWrap, FHintData.HintText);
        r = text;
        if (FHintData.BidiMode != bdLeftToRight)
            r.Left = r.Right - margin - measured.width() - margin + 1;
        else
            r.Right = r.Left + margin + measured.width() + margin;
        r.Bottom = r.Top + measured.height();
        ++r.Right;
        // Fits the row and the column as painted: no tooltip.
        const int columnWidth = hasColumn ? columns[FHintData.Column].Width() : tree->ClientWidth();
        if (int(tree->Tree()->NodeHeight(node)) + 2 >= r.Height() && columnWidth + 2 >= r.Width()
            && r.Left >= 0 && r.Top >= 0 && r.Right <= tree->ClientWidth() + 3
            && r.Bottom <= tree->ClientHeight() + 3)
            return {};
        r = Bounds(0, 0, r.Width(), r.Height());
    }
    // One pixel more on each side, from (-1, -1): the text lies exactly over the cell's.
    return Rect(-1, -1, r.Width() + 1, r.Height() + 1);
}

void TGridTreeHintWindow::ActivateHint(TRect R, const QString &)
{
    TGridTreeView *tree = FHintData.Tree;
    if (R.IsEmpty() || !tree) {
        HideHint();
        return;
    }
    // A hint still animating stops.
    FCancelAnimation = true;
    hide();
    // Kept on the screen the hint starts on.
    QScreen *screen = QGuiApplication::screenAt(QPoint(R.Left, R.Top));
    if (!screen)
        screen = tree->screen();
    if (screen) {
        const TRect desk = FromQRect(screen->availableGeometry());
        if (R.Bottom > desk.Bottom)
            R = OffsetRect(R, 0, desk.Bottom - R.Bottom);
        if (R.Right > desk.Right)
            R = OffsetRect(R, desk.Right - R.Right, 0);
        if (R.Top < desk.Top)
            R = OffsetRect(R, 0, desk.Top - R.Top);
        if (R.Left < desk.Left)
            R = OffsetRect(R, desk.Left - R.Left, 0);
    }
    setGeometry(ToQRect(R));
    FDrawBuffer = QImage(R.Width(), R.Height(), QImage::Format_ARGB32_Premultiplied);
    InternalPaint(0, 0);
    FCancelAnimation = false;

    const THintAnimationType animation = tree->DoGetAnimationType();
    const int duration = tree->AnimationDuration();
    FRevealed = animation == hatSlide && duration > 0 ? 0 : -1;
    if (FRevealed == 0)
        setMask(QRegion(0, 0, R.Width(), 1));
    setWindowOpacity(animation == hatFade && duration > 0 ? 0.0 : 1.0);
    show();
    raise();
    PassMouseThrough();
    if (duration <= 0)
        return;
    const QPointer<TGridTreeHintWindow> self(this);
    if (animation == hatFade)
        tree->Animate(255, 2 * duration,
            [self](int Step, int StepSize) { return self && self->AnimationCallback(Step, StepSize); });
    else if (animation == hatSlide)
        tree->Animate(uint32_t(R.Height()), duration,
            [self](int Step, int StepSize) { return self && self->AnimationCallback(Step, StepSize); });
}

bool TGridTreeHintWindow::AnimationCallback(int Step, int StepSize)
{
    const bool live = isVisible() && !FCancelAnimation;
    if (live) {
        InternalPaint(Step, StepSize);
        QCoreApplication::processEvents();
    }
    return live;
}

void TGridTreeHintWindow::InternalPaint(int Step, int StepSize)
{
    TGridTreeView *tree = FHintData.Tree;
    if (!tree || FDrawBuffer.isNull())
        return;
    if (Step == 0 && StepSize == 0) {
        // The whole hint, painted.
        FDrawBuffer.fill(Qt::transparent);
        QPainter painter(&FDrawBuffer);
        const TRect bounds = Rect(0, 0, FDrawBuffer.width(), FDrawBuffer.height());
        if (FHintData.Node && FHintData.DefaultHint.isEmpty()
            && tree->DoDrawHint(painter, FHintData.Node, bounds, FHintData.Column)) {
            // The draw tree painted it.
        } else {
            painter.setPen(Qt::black);
            painter.setBrush(palette().color(QPalette::ToolTipBase));
            painter.drawRect(0, 0, bounds.Width() - 1, bounds.Height() - 1);
            painter.setPen(palette().color(QPalette::ToolTipText));
            const bool tooltip
                = FHintData.Node && FHintData.DefaultHint.isEmpty() && tree->HintMode() == hmTooltip;
            const bool multiline = tooltip && FHintData.LineBreakStyle == hlbForceMultiLine;
            QFont font = QToolTip::font();
            int top = 2;
            if (tooltip) {
                QString text;
                TRect r;
                tree->GetTextInfo(FHintData.Node, FHintData.Column, font, r, text);
                top = multiline ? 1 : (bounds.Height() - FTextHeight) / 2;
            }
            painter.setFont(font);
            TRect r = bounds;
            r.Top = top;
            unsigned format = DT_NOPREFIX;
            if (multiline)
                format |= DT_WORDBREAK;
            // Inside the frame.
            if (FHintData.BidiMode != bdLeftToRight) {
                format |= DT_RIGHT | DT_RTLREADING;
                r.Right = bounds.Right - 1 - tree->TextMargin() + 1;
            } else {
                r.Left = bounds.Left + 1 + tree->TextMargin();
            }
            DrawTextEx(painter, FHintData.HintText, r, format);
        }
        FRevealed = -1;
        clearMask();
        setWindowOpacity(1.0);
        update();
        return;
    }
    if (tree->DoGetAnimationType() == hatFade) {
        setWindowOpacity(std::min(1.0, (Step * 256 / 255) / 255.0));
    } else {
        // Only the lines revealed so far are on the screen.
        FRevealed = std::min(Step, FDrawBuffer.height());
        setMask(QRegion(0, 0, width(), std::max(FRevealed, 1)));
        repaint();
    }
}

void TGridTreeHintWindow::HideHint()
{
    FCancelAnimation = true;
    hide();
    FHintData = TGTHintData();
}

void TGridTreeHintWindow::PassMouseThrough()
{
    // Qt's X11 backend makes the window anew on its first show and loses the
    // window's input transparency then; set again, it holds.
    QWindow *window = windowHandle();
    if (!window)
        return;
    const Qt::WindowFlags flags = window->flags();
    window->setFlags(flags & ~Qt::WindowTransparentForInput);
    window->setFlags(flags | Qt::WindowTransparentForInput);
}

bool TGridTreeHintWindow::event(QEvent *Event)
{
    // Where the window system still gives the window the mouse, the mouse
    // leaving it may also have left the tree.
    if (Event->type() == QEvent::Leave)
        if (TGridTreeView *tree = FHintData.Tree)
            tree->HintMouseLeft();
    return QWidget::event(Event);
}

void TGridTreeHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (FRevealed < 0) {
        painter.drawImage(0, 0, FDrawBuffer);
        return;
    }
    // Sliding in: the hint's lowest lines first, at the window's top.
    painter.drawImage(0, 0, FDrawBuffer, 0, FDrawBuffer.height() - FRevealed, FDrawBuffer.width(), FRevealed);
}
