#include "controls/ColorPickerPainter.h"

#include "platform/gui/Edges.h"
#include "platform/gui/TextDraw.h"

#include <QPainter>

namespace {

constexpr TColor OutlineGrey = 0x808080;

void Fill(QPainter &painter, const TRect &r, TColor color)
{
    if (!r.IsEmpty())
        painter.fillRect(ToQRect(r), ToQColor(color));
}

// A one-pixel frame in `color`, the inside left as it is.
void FrameRect(QPainter &painter, const TRect &r, TColor color)
{
    Fill(painter, Rect(r.Left, r.Top, r.Right, r.Top + 1), color);
    Fill(painter, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), color);
    Fill(painter, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), color);
    Fill(painter, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), color);
}

// A colour box with a one-pixel grey outline.
void ColorBox(QPainter &painter, const TRect &r, TColor color)
{
    Fill(painter, r, OutlineGrey);
    Fill(painter, InflateRect(r, -1, -1), color);
}

class TPickerPainter {
public:
    TPickerPainter(QPainter &painter, const TColorPickerGeometry &geometry, const TColorPickerState &state)
        : FPainter(painter)
        , FGeometry(geometry)
        , FState(state)
    { }

    void Paint(QSize clientSize)
    {
        const TRect client = Bounds(0, 0, clientSize.width(), clientSize.height());
        Fill(FPainter, client, clBtnFace);
        FPainter.setPen(ToQColor(clWindowText));
        FPainter.setBrush(Qt::NoBrush);
        if (FGeometry.HasDefaultText())
            DrawCell(TColorPickerGeometry::DefaultCell);
        for (int i = 0; i < TColorPickerGeometry::DefaultColorCount; ++i)
            DrawCell(i);
        if (FGeometry.ShowSysColors()) {
            const int inset = FGeometry.Margin() + FGeometry.Spacing();
            DrawSeparator(inset, FGeometry.SystemSeparatorY(), client.Right - inset);
            for (int i = TColorPickerGeometry::DefaultColorCount; i < FGeometry.CellCount(); ++i)
                DrawCell(i);
        }
        if (FGeometry.HasCustomText())
            DrawCell(TColorPickerGeometry::CustomCell);
        if (FState.SelectedIndex == TColorPickerGeometry::CustomCell)
            DrawCombControls();
        DrawEdge(FPainter, client, EDGE_RAISED, BF_RECT);
    }

private:
    void DrawSeparator(int left, int top, int right)
    {
        DrawEdge(FPainter, Rect(left, top, right, top), EDGE_ETCHED, BF_TOP);
    }

    // The background and edge every kind of cell shows for its state.
    void DrawCellState(int index, const TRect &r)
    {
        const bool selected = index == FState.SelectedIndex;
        const bool hovered = index == FState.HoverIndex;
        Fill(FPainter, r, selected && !hovered ? clBtnHighlight : clBtnFace);
        if (selected || (hovered && FState.LeftButtonDown))
            DrawEdge(FPainter, r, BDR_SUNKENOUTER, BF_RECT);
        else if (hovered)
            DrawEdge(FPainter, r, BDR_RAISEDINNER, BF_RECT);
    }

    void DrawCaptionText(const QString &text, const TRect &r)
    {
        FPainter.setBackgroundMode(Qt::TransparentMode);
        DrawTextEx(FPainter, text, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }

    void DrawCell(int index)
    {
        const int margin = FGeometry.Margin();
        if (index == TColorPickerGeometry::CustomCell) {
            const TRect box = FGeometry.CustomTextRect();
            Fill(FPainter, box, clBtnFace);
            DrawSeparator(box.Left, box.Top - 2 * margin, box.Right);
            const TRect r = Rect(box.Left + 1, box.Top, box.Right - 1, box.Bottom);
            DrawCellState(index, r);
            DrawCaptionText(FState.CustomText, r);
            if (const auto color = FGeometry.CustomColor(FState.CustomIndex))
                ColorBox(FPainter, FGeometry.CustomColorRect(), *color);
            else
                FrameRect(FPainter, FGeometry.CustomColorRect(), clBtnShadow);
            return;
        }
        if (index == TColorPickerGeometry::DefaultCell) {
            const TRect box = FGeometry.DefaultTextRect();
            Fill(FPainter, box, clBtnFace);
            const TRect r = InflateRect(box, -1, -1);
            DrawCellState(index, r);
            FrameRect(FPainter, InflateRect(r, -(margin + 1), -(margin + 1)), clBtnShadow);
            DrawCaptionText(FState.DefaultText, r);
            return;
        }
        TRect r;
        if (!FGeometry.GetCellRect(index, r))
            return;
        DrawCellState(index, r);
        ColorBox(FPainter, InflateRect(r, -(margin + 1), -(margin + 1)), FGeometry.CellColor(index));
    }

    void DrawComb(int x, int y, int size, TColor color)
    {
        FPainter.setBrush(ToQColor(color));
        FPainter.drawPolygon(FGeometry.CombPolygon(x, y, size));
    }

    // The chosen hexagon inverted along its outline.
    void DrawChoiceOutline(int x, int y, int size)
    {
        FPainter.save();
        FPainter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        FPainter.setPen(QPen(QColor(255, 255, 255), 2, Qt::SolidLine));
        FPainter.setBrush(Qt::NoBrush);
        FPainter.drawPolygon(FGeometry.CombPolygon(x, y, size));
        FPainter.restore();
    }

    void DrawCombControls()
    {
        Fill(FPainter, FGeometry.MixAreaRect(), clBtnFace);
        FPainter.save();
        FPainter.setPen(Qt::NoPen);
        const QPoint center = FGeometry.ColorCombCenter();
        const int size = FGeometry.CombSize();
        for (const TCombEntry &entry : FGeometry.ColorCombs())
            DrawComb(center.x() + entry.Position.x(), center.y() + entry.Position.y(), size, entry.Color);
        if (FState.CustomIndex > 0 && std::size_t(FState.CustomIndex) <= FGeometry.ColorCombs().size()) {
            const QPoint p = center + FGeometry.ColorCombs()[std::size_t(FState.CustomIndex - 1)].Position;
            DrawChoiceOutline(p.x(), p.y(), size);
        }

        const QPoint origin = FGeometry.BWCombRect().TopLeft();
        const auto &bw = FGeometry.BWCombs();
        const auto bwSize = [&](std::size_t i) { return i == 0 || i + 1 == bw.size() ? 2 * size : size; };
        for (std::size_t i = 0; i < bw.size(); ++i)
            DrawComb(
                origin.x() + bw[i].Position.x(), origin.y() + bw[i].Position.y(), bwSize(i), bw[i].Color);
        if (FState.CustomIndex < 0 && std::size_t(-FState.CustomIndex) <= bw.size()) {
            const std::size_t i = std::size_t(-FState.CustomIndex - 1);
            const QPoint p = origin + bw[i].Position;
            DrawChoiceOutline(p.x(), p.y(), bwSize(i));
        }

        // Brightness slider, white at the top to black at the bottom, and the marker
        // pointing at the current intensity.
        const TRect slider = FGeometry.SliderRect();
        for (int j = 0; j < FGeometry.SliderLineCount(); ++j) {
            const int grey = FGeometry.SliderGrey(j);
            Fill(FPainter, Bounds(slider.Left, slider.Top + j, 10, 1), RGB(grey, grey, grey));
        }
        const int x = slider.Left + 11;
        const int y = FGeometry.MarkerY(FGeometry.CenterIntensity());
        FPainter.setPen(QPen(Qt::black, 1));
        FPainter.setBrush(Qt::black);
        const QPoint marker[3] = { { x, y }, { x + 5, y - 3 }, { x + 5, y + 3 } };
        FPainter.drawPolygon(marker, 3);
        FPainter.restore();
    }

    QPainter &FPainter;
    const TColorPickerGeometry &FGeometry;
    const TColorPickerState &FState;
};

} // namespace

void PaintColorPicker(
    QPainter &painter, const TColorPickerGeometry &geometry, const TColorPickerState &state, QSize clientSize)
{
    TPickerPainter(painter, geometry, state).Paint(clientSize);
}
