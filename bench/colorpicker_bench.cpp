// The colour picker's full paint with the mix area open (grid, caption, both combs,
// slider, marker, edges and text) beside its floor: the same rectangles and the 144
// comb hexagons filled with QPainter into the same image.
#include "bench/BenchSupport.h"
#include "controls/ColorPickerPainter.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

struct TPicker {
    TColorPickerGeometry Geometry;
    TColorPickerState State;
    QImage Image;
    QFont Font;

    TPicker()
    {
        Geometry.AdjustWindow(false, std::nullopt, QSize(50, 12));
        State.CustomText = QStringLiteral("mix colour");
        State.SelectedIndex = TColorPickerGeometry::CustomCell;
        State.HoverIndex = 9;
        State.CustomIndex = 22;
        Image = QImage(
            Geometry.WindowRect().Width(), Geometry.PopupHeight(true), QImage::Format_ARGB32_Premultiplied);
        Font = QFont(QStringLiteral("Liberation Sans"));
        Font.setPixelSize(11);
    }
};

TPicker &Picker()
{
    static TPicker picker;
    return picker;
}

void PaintPicker(benchmark::State &state)
{
    TPicker &picker = Picker();
    for (auto _ : state) {
        QPainter painter(&picker.Image);
        painter.setFont(picker.Font);
        PaintColorPicker(painter, picker.Geometry, picker.State, picker.Image.size());
    }
    benchmark::DoNotOptimize(picker.Image.constBits());
}

void PaintFloor(benchmark::State &state)
{
    TPicker &picker = Picker();
    const TColorPickerGeometry &g = picker.Geometry;
    for (auto _ : state) {
        QPainter painter(&picker.Image);
        painter.fillRect(picker.Image.rect(), QColor(240, 240, 240));
        for (int i = 0; i < TColorPickerGeometry::DefaultColorCount; ++i) {
            TRect r;
            g.GetCellRect(i, r);
            painter.fillRect(ToQRect(r), QColor(240, 240, 240));
            painter.fillRect(ToQRect(InflateRect(r, -3, -3)), QColor(128, 128, 128));
            painter.fillRect(ToQRect(InflateRect(r, -4, -4)), ToQColor(g.CellColor(i)));
        }
        painter.fillRect(ToQRect(g.CustomTextRect()), QColor(240, 240, 240));
        painter.fillRect(ToQRect(g.MixAreaRect()), QColor(240, 240, 240));
        painter.setPen(Qt::NoPen);
        const QPoint center = g.ColorCombCenter();
        for (const TCombEntry &e : g.ColorCombs()) {
            painter.setBrush(ToQColor(e.Color));
            painter.drawPolygon(g.CombPolygon(center.x() + e.Position.x(), center.y() + e.Position.y(), 11));
        }
        const QPoint origin = g.BWCombRect().TopLeft();
        for (const TCombEntry &e : g.BWCombs()) {
            painter.setBrush(ToQColor(e.Color));
            painter.drawPolygon(g.CombPolygon(origin.x() + e.Position.x(), origin.y() + e.Position.y(), 11));
        }
        for (int j = 0; j < g.SliderLineCount(); ++j)
            painter.fillRect(g.SliderRect().Left, g.SliderRect().Top + j, 10, 1, QColor(j, j, j));
    }
    benchmark::DoNotOptimize(picker.Image.constBits());
}

BENCHMARK(PaintPicker)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaintFloor)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return bench::runWithFigures(
        argc, argv, { { "colorpicker.paint/floor", "PaintPicker", "PaintFloor", "<=", 2.0 } });
}
