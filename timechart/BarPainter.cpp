#include "timechart/BarPainter.h"

#include "components/gui/AlphaBlend.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/Settings.h"
#include "platform/gui/TextDraw.h"
#include "timechart/BarTextLayout.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ColorRoutines.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>

namespace {

constexpr int DotsPerMeterAt96 = 3780;
// How far past the visible part a bar drawn directly may reach; beyond it the
// painter's fixed-point coordinates would lose precision.
constexpr int DirectReach = 1 << 20;

TColor ColorAt(const std::vector<std::uint32_t> &colors, int index)
{
    return index >= 0 && index < int(colors.size()) ? TColor(colors[index]) : BarMissingColor;
}

// The vertical placement of the top, middle and bottom text lines.
constexpr unsigned NoLine = ~0u;
std::array<unsigned, 3> LinePlacement(TRowSet rowSet)
{
    switch (rowSet) {
    case rsTopMiddle:
        return { DT_TOP, DT_BOTTOM, NoLine };
    case rsTop:
        return { DT_VCENTER, NoLine, NoLine };
    case rsTopMiddleBottom:
        break;
    }
    return { DT_TOP, DT_VCENTER, DT_BOTTOM };
}

constexpr std::array<std::array<TConnection, 3>, 3> LineRoles = { {
    { cnTextLeftTop, cnTextcenterTop, cnTextRightTop },
    { cnTextLeftMiddle, cnTextCenterMiddle, cnTextRightMiddle },
    { cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom },
} };

// An image over the bar's own pixels, without copying them.
QImage Wrap(TBarBitmap &bitmap)
{
    QImage image(reinterpret_cast<uchar *>(bitmap.Pixels()), bitmap.Width(), bitmap.Height(),
        qsizetype(bitmap.Width()) * 4, QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeterAt96);
    image.setDotsPerMeterY(DotsPerMeterAt96);
    return image;
}

QImage NewBarImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeterAt96);
    image.setDotsPerMeterY(DotsPerMeterAt96);
    return image;
}

TRect ImageRect(const QImage &image)
{
    return Rect(0, 0, image.width(), image.height());
}

// A blend towards a colour also lowers the alpha byte; the chart's pixels stay opaque.
void SetOpaque(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

} // namespace

struct TBarPainter::TBarJob {
    TWhichTable table;
    TNodeData *node; // null for the sample
    TRowSet rowSet;
    int rowHeight;
    const QFont &font;
};

TBarPainter::TBarPainter(Document &doc, const IChartPaintGeometry &geometry, const TProgramSettings &settings)
    : FDoc(doc)
    , FGeometry(geometry)
    , FSettings(settings)
{ }

void TBarPainter::SetFlashStep(int step)
{
    FFlashStep = std::clamp(step, 0, 6);
}

int TBarPainter::HighlightPercent(int step)
{
    static constexpr std::array<int, 7> percent = { 0, 50, 55, 77, 100, 77, 50 };
    return step >= 0 && step < int(percent.size()) ? percent[step] : 0;
}

void TBarPainter::DrawItem(const TChartCanvas &canvas, bool small, TWhichTable table, TNodeData *node,
    double viewStart, double viewEnd, int top, int rowHeight, int width, TRowSet rowSet, int x, int y,
    const QString &fontName, int fontSize, bool screen)
{
    QPainter &p = canvas.Painter();
    if (node && small) { // the overview's plain box needs neither font nor texts
        if (!FDoc.GetNodeValid(node))
            return;
        const TRect r
            = OffsetRect(FGeometry.ItemRect(node, viewStart, viewEnd, top, rowHeight, width, true), x, y);
        if (r.IsEmpty() || !canvas.RectVisible(r))
            return;
        const TBoxColors colors = BoxColors(table, node, rowHeight, false, true);
        if (!FOverviewBoxes.Draw(p, r, colors.brush, colors.pen))
            DrawBox(p, colors, r);
        ++smallredrawcount;
        return;
    }
    const TBarJob job { table, node, rowSet, rowHeight,
        FFont.Font(fontName, fontSize, canvas.Ppi(), screen) };
    TRect r;
    if (!node) { // the editor's sample: a band across the middle of a green field
        const TRect clip = canvas.VisibleBounds();
        p.fillRect(ToQRect(clip), ToQColor(SampleBackColor));
        r = Bounds(clip.Left, clip.Top + (clip.Height() - rowHeight) / 2, clip.Width(), rowHeight);
    } else {
        if (!FDoc.GetNodeValid(node))
            return;
        r = OffsetRect(FGeometry.ItemRect(node, viewStart, viewEnd, top, rowHeight, width, false), x, y);
        if (r.IsEmpty() || !canvas.RectVisible(r))
            return;
    }

    if (!node || !canvas.IsWindow() || !canvas.Pixels()) {
        r = IntersectRect(r, InflateRect(canvas.VisibleBounds(), DirectReach, DirectReach));
        if (FSettings.DrawFullText) {
            DrawTo(p, job, r, false, true, true);
            p.save();
            p.setClipRect(ToQRect(r), Qt::IntersectClip);
            DrawTo(p, job, r, true, true, false);
            p.restore();
        } else {
            DrawTo(p, job, r, true, true, false);
        }
        return;
    }

    // The window's chart: the texts may run on past the bar, then the bar's pixels.
    if (FSettings.DrawFullText)
        DrawTo(p, job, r, false, true, true);
    TRect placed;
    const QImage bar = BarImage(canvas, job, r, placed);
    QImage &pixels = *canvas.Pixels();
    const TRect under = IntersectRect(placed, ImageRect(pixels));
    if (under.IsEmpty())
        return;
    const bool blend = FAllowAlpha && HasMMX;
    if (blend && FDoc.GetTable(table).IsHidden(node)) {
        QImage mixed = pixels.copy(ToQRect(under));
        const int alpha = (100 - FGeometry.GetTransparency()) * 256 / 100;
        AlphaBlend(bar, mixed, OffsetRect(under, -placed.Left, -placed.Top), QPoint(0, 0), bmConstantAlpha,
            alpha, 0);
        p.drawImage(under.TopLeft(), mixed);
    } else {
        p.drawImage(placed.TopLeft(), bar);
    }
    if (blend && table == FDoc.GetActiveTable() && FDoc.GetTable(table).IsSelected(node)) {
        const TRect shaded = IntersectRect(r, ImageRect(pixels));
        QImage shadow = pixels.copy(ToQRect(shaded));
        DrawSelectionShadow(shadow, QPoint(r.Left - shaded.Left, r.Top - shaded.Top), r.Width(), r.Height());
        SetOpaque(shadow);
        p.drawImage(shaded.TopLeft(), shadow);
    }
}

QImage TBarPainter::BarImage(const TChartCanvas &canvas, const TBarJob &job, const TRect &r, TRect &placed)
{
    TNodeData &node = *job.node;
    TBarBitmap &bitmap = node.Bitmap;
    if (r.Width() > MaxCachedSide || r.Height() > MaxCachedSide) {
        bitmap.Release();
        placed = IntersectRect(r, canvas.VisibleBounds());
        if (placed.IsEmpty())
            return {};
        QImage part = NewBarImage(placed.Width(), placed.Height());
        QPainter painter(&part);
        painter.translate(-placed.Left, -placed.Top);
        DrawTo(
            painter, job, IntersectRect(r, InflateRect(placed, DirectReach, DirectReach)), true, true, false);
        return part;
    }
    placed = r;
    // The image keeps the selection flash's step it was drawn with: a flash tick
    // needs to mark nothing, the bars repainted in view are drawn again.
    const int look = job.table == FDoc.GetActiveTable() && FDoc.GetTable(job.table).IsSelected(&node)
        ? 1 + FFlashStep
        : 0;
    if (bitmap.HasSize(r.Width(), r.Height()) && !node.RecalcBitmap && bitmap.Look() == look) {
        FCache.Touch(bitmap);
        return Wrap(bitmap);
    }
    FCache.Allocate(bitmap, r.Width(), r.Height());
    QImage image = Wrap(bitmap);
    {
        QPainter painter(&image);
        DrawTo(painter, job, Rect(0, 0, r.Width(), r.Height()), true, true, false);
    }
    ++redrawcount;
    node.RecalcBitmap = false;
    bitmap.SetLook(look);
    return image;
}

TBarPainter::TBoxColors TBarPainter::BoxColors(
    TWhichTable table, const TNodeData *node, int rowHeight, bool drawText, bool drawBox) const
{
    TBoxColors colors { clWhite, clBlack };
    if (node) {
        // Without texts (the overview) a bar shows the cell colour, whatever its own.
        const TDocumentSetup &setup = FDoc.Setup();
        const int index = drawText ? FDoc.GetDataIndex_(node, cnColor) : -1;
        if (table == tbTable) {
            colors.brush = drawText ? ColorAt(setup.FColors, index) : ChartCellColor;
        } else {
            colors.brush = drawText ? ColorAt(setup.FHolidayColors, index) : ChartCellColor;
            colors.pen = FlashColor(colors.brush, -25);
        }
    }
    if (!drawBox) // texts on the record's own colour
        return colors;
    if (node && table == tbTable && FDoc.HasOverlappingNodes())
        colors.brush = FDoc.GetNodeIsOverlapping(node) ? OverlapColor : NotOverlappingColor;
    if (node && table == FDoc.GetActiveTable() && FDoc.GetTable(table).IsSelected(node))
        colors.brush = SelectedColor(colors.brush);
    if (!drawText) {
        // The overview: the outline fades from the fill at the smallest rows
        // towards the pen as the rows grow, so a bar of two pixels shows its fill.
        const int full = std::max(1, FGeometry.TimeChartRowHeight(0));
        colors.pen
            = OutlineColor(colors.pen, colors.brush, std::min(100, std::max(0, rowHeight - 2) * 100 / full));
    }
    return colors;
}

TColor TBarPainter::SelectedColor(TColor brush) const
{
    // Every selected bar of a plan shares one or two colours: the last is kept.
    const int percent = HighlightPercent(FFlashStep);
    if (!FSelected || FSelected->brush != brush || FSelected->percent != percent)
        FSelected = TSelectedColor { brush, percent, FadeColorRGB(VisibleContrast(brush), brush, percent) };
    return FSelected->selected;
}

TColor TBarPainter::OutlineColor(TColor pen, TColor brush, int percent) const
{
    if (!FOutline || FOutline->pen != pen || FOutline->brush != brush || FOutline->percent != percent)
        FOutline = TOutlineColor { pen, brush, percent, FadeColorRGB(pen, brush, percent) };
    return FOutline->outline;
}

void TBarPainter::DrawBox(QPainter &canvas, const TBoxColors &colors, const TRect &r)
{
    DrawPlainBox(canvas, r, colors.brush, colors.pen);
}

void TBarPainter::DrawTo(
    QPainter &canvas, const TBarJob &job, TRect r, bool drawBox, bool drawText, bool textOnBackground)
{
    const TBoxColors colors = BoxColors(job.table, job.node, job.rowHeight, drawText, drawBox);
    if (drawBox)
        DrawBox(canvas, colors, r);
    if (drawText) {
        canvas.setFont(job.font);
        canvas.setPen(ToQColor(textOnBackground ? clBlack : VisibleContrast(colors.brush)));
        canvas.setBrush(Qt::NoBrush);
        DrawTexts(canvas, job, r);
    }
}

void TBarPainter::DrawTexts(QPainter &canvas, const TBarJob &job, const TRect &r)
{
    constexpr int penWidth = 1;
    const TRect area = Rect(r.Left + 2 * penWidth, r.Top, r.Right - 2 * penWidth, r.Bottom);
    const QFontMetrics metrics(canvas.font(), canvas.device());
    const TTextWidth width = [&](const QString &text) { return metrics.horizontalAdvance(text); };
    auto line = [&](unsigned placement, const QString &left, const QString &centre, const QString &right) {
        for (const TBarTextDraw &draw :
            LayoutBarTextLine(area, left, centre, right, FSettings.DrawFullText, width))
            DrawTextEx(canvas, draw.Text, draw.Rect, draw.Align | placement | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (job.table == tbExclude) {
        line(DT_VCENTER, QString(), txt(job, cnTextCenterMiddle), QString());
        return;
    }
    const std::array<unsigned, 3> placement = LinePlacement(job.rowSet);
    for (std::size_t i = 0; i < placement.size(); ++i) {
        if (placement[i] == NoLine)
            continue;
        const auto &roles = LineRoles[i];
        const QString left = txt(job, roles[0]), centre = txt(job, roles[1]), right = txt(job, roles[2]);
        if (!left.isEmpty() || !centre.isEmpty() || !right.isEmpty())
            line(placement[i], left, centre, right);
    }
}

QString TBarPainter::txt(const TBarJob &job, TConnection role) const
{
    if (job.node)
        return ShownLinePart(FDoc.GetData_(job.node, role));
    const int column = FDoc.GetConnection(job.table, role);
    return column >= 0 ? FDoc.GetColumnCaption(job.table, column) : QString();
}

void DoShadowBlend(QImage &image, const TRect &rect, int alpha)
{
    AlphaBlend(image, image, rect, QPoint(0, 0), bmConstantAlphaAndColor, alpha, int(clBlack));
}

void DrawSelectionShadow(QImage &image, QPoint origin, int w, int h)
{
    static constexpr std::array<int, 5> alphas = { 5, 10, 20, 35, 50 };
    TRect bottom = Rect(8, h - 8, w, h);
    TRect right = Rect(w - 8, 8, w, h);
    for (int alpha : alphas) {
        DoShadowBlend(image, OffsetRect(bottom, origin.x(), origin.y()), alpha);
        DoShadowBlend(image, OffsetRect(right, origin.x(), origin.y()), alpha);
        ++bottom.Left;
        --bottom.Right;
        --bottom.Bottom;
        ++right.Top;
        --right.Right;
    }
}
