#include "timechart/OverviewBoxes.h"

#include <QPainter>
#include <algorithm>

namespace {

// The probes' columns: a box of one, two, three and four pixels, each with empty
// columns around it so that nothing it leaves can be taken for another's.
constexpr int ProbeWidth = 26;
constexpr std::array<int, 4> ProbeLeft = { 3, 7, 12, 18 };
constexpr TColor ProbePen = 0x000001;
constexpr TColor ProbeBrush = 0x000002;
// Tops up to this are looked up in a list; others (never in the overview) hashed.
constexpr int MaxListedTop = 1 << 20;

std::uint64_t RowKey(int top, int bottom)
{
    return (std::uint64_t(std::uint32_t(top)) << 32) | std::uint32_t(bottom);
}

bool OpaqueFormat(QImage::Format format)
{
    return format == QImage::Format_ARGB32 || format == QImage::Format_RGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

void DrawPlainBox(QPainter &canvas, const TRect &r, TColor brush, TColor pen)
{
    canvas.fillRect(ToQRect(r), ToQColor(brush));
    canvas.setPen(ToQColor(pen));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

bool TOverviewBoxes::Begin(QPainter &painter, QImage &image, const QRegion &clip)
{
    End();
    const QTransform transform = painter.combinedTransform();
    // Only what the overview's painter does: opaque colours copied into a 32-bit
    // image, the rows at most scaled, the columns as they are.
    if (painter.device() != &image || !OpaqueFormat(image.format())
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0
        || painter.testRenderHint(QPainter::Antialiasing) || transform.type() > QTransform::TxScale
        || transform.m11() != 1.0 || transform.dx() != 0.0 || transform.dy() != 0.0 || transform.m22() <= 0)
        return false;
    if (transform != FTransform || image.height() != FHeight) {
        FShapes.clear();
        FByTop.clear();
        FTransform = transform;
        FHeight = image.height();
        FProbe = QImage(ProbeWidth, FHeight, QImage::Format_ARGB32);
        FProbe.fill(0);
    }
    FPainter = &painter;
    FImage = &image;
    FBits = image.bits();
    FBytesPerLine = image.bytesPerLine();
    for (const QRect &r : clip) {
        const QRect inside = r.intersected(image.rect());
        if (!inside.isEmpty())
            FClip.push_back(inside);
    }
    FActive = true;
    return true;
}

void TOverviewBoxes::End()
{
    FActive = false;
    FPainter = nullptr;
    FImage = nullptr;
    FBits = nullptr;
    FClip.clear();
}

TOverviewBoxes::TRowShape TOverviewBoxes::Probe(int top, int bottom)
{
    {
        QPainter probe(&FProbe);
        probe.setTransform(FTransform);
        for (std::size_t i = 0; i < ProbeLeft.size(); ++i)
            DrawPlainBox(
                probe, Rect(ProbeLeft[i], top, ProbeLeft[i] + int(i) + 1, bottom), ProbeBrush, ProbePen);
    }
    const QRgb pen = ToQColor(ProbePen).rgba();
    const QRgb brush = ToQColor(ProbeBrush).rgba();
    TRowShape shape;
    shape.usable = { true, true, true };
    bool gapsClean = true;
    for (int y = 0; y < FProbe.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(FProbe.constScanLine(y));
        if (std::all_of(row, row + ProbeWidth, [](QRgb p) { return p == 0; }))
            continue;
        std::array<TInk, ProbeWidth> ink {};
        for (int x = 0; x < ProbeWidth; ++x) {
            if (row[x] == pen)
                ink[x] = inPen;
            else if (row[x] == brush)
                ink[x] = inBrush;
            else if (row[x] != 0)
                gapsClean = false; // neither colour: not a copy of a pattern
        }
        std::array<bool, ProbeWidth> owned {};
        for (std::size_t i = 0; i < ProbeLeft.size(); ++i)
            std::fill_n(owned.begin() + ProbeLeft[i], i + 1, true);
        for (int x = 0; x < ProbeWidth; ++x)
            if (!owned[x] && ink[x] != inNone)
                gapsClean = false;
        TLine line;
        line.y = y;
        line.one = { ink[ProbeLeft[0]] };
        line.two = { ink[ProbeLeft[1]], ink[ProbeLeft[1] + 1] };
        line.wide = { ink[ProbeLeft[2]], ink[ProbeLeft[2] + 1], ink[ProbeLeft[2] + 2] };
        // The four-pixel box must be the three-pixel one with its middle repeated.
        const int four = ProbeLeft[3];
        if (ink[four] != line.wide[0] || ink[four + 1] != line.wide[1] || ink[four + 2] != line.wide[1]
            || ink[four + 3] != line.wide[2])
            shape.usable[2] = false;
        shape.lines.push_back(line);
    }
    if (!gapsClean)
        shape.usable = { false, false, false };
    FProbe.fill(0);
    return shape;
}

const TOverviewBoxes::TRowShape &TOverviewBoxes::Shape(int top, int bottom)
{
    const bool listed = top >= 0 && top < MaxListedTop;
    if (listed && std::size_t(top) < FByTop.size() && FByTop[top].shape && FByTop[top].bottom == bottom)
        return *FByTop[top].shape;
    const std::uint64_t key = RowKey(top, bottom);
    auto found = FShapes.find(key);
    if (found == FShapes.end())
        found = FShapes.emplace(key, Probe(top, bottom)).first;
    if (listed) {
        if (std::size_t(top) >= FByTop.size())
            FByTop.resize(std::size_t(top) + 1);
        FByTop[top] = { bottom, &found->second };
    }
    return found->second;
}

std::uint32_t TOverviewBoxes::Pixel(TColor color)
{
    for (const auto &[known, pixel] : FPixels)
        if (known == color)
            return pixel;
    std::swap(FPixels[0], FPixels[1]);
    FPixels[0] = { color, ToQColor(color).rgba() };
    return FPixels[0].second;
}

void TOverviewBoxes::Fill(int y, int left, int right, std::uint32_t pixel)
{
    if (left >= right)
        return;
    auto *row = reinterpret_cast<std::uint32_t *>(FBits + y * FBytesPerLine);
    for (const QRect &c : FClip) {
        if (y < c.top() || y > c.bottom())
            continue;
        const int from = std::max(left, c.left());
        const int to = std::min(right, c.right() + 1);
        if (from < to)
            std::fill(row + from, row + to, pixel);
    }
}

bool TOverviewBoxes::Draw(const QPainter &painter, const TRect &r, TColor brush, TColor pen)
{
    if (!FActive || &painter != FPainter || r.Right <= r.Left || r.Bottom <= r.Top)
        return false;
    const int width = r.Right - r.Left;
    const int kind = std::min(width, 3) - 1;
    const TRowShape &shape = Shape(r.Top, r.Bottom);
    if (!shape.usable[std::size_t(kind)])
        return false;
    const std::array<std::uint32_t, 3> pixel = { 0, Pixel(pen), Pixel(brush) };
    auto put = [&](int y, TInk ink, int left, int right) {
        if (ink != inNone)
            Fill(y, left, right, pixel[ink]);
    };
    for (const TLine &line : shape.lines) {
        switch (kind) {
        case 0:
            put(line.y, line.one[0], r.Left, r.Left + 1);
            break;
        case 1:
            put(line.y, line.two[0], r.Left, r.Left + 1);
            put(line.y, line.two[1], r.Left + 1, r.Left + 2);
            break;
        default:
            put(line.y, line.wide[0], r.Left, r.Left + 1);
            put(line.y, line.wide[1], r.Left + 1, r.Right - 1);
            put(line.y, line.wide[2], r.Right - 1, r.Right);
            break;
        }
    }
    return true;
}
