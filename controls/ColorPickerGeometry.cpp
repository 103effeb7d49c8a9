#include "controls/ColorPickerGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Cos30 = 0.86602540378443864676;
constexpr double Sin30 = 0.5;

// Halves go to the even neighbour. A value that is a half in exact arithmetic (such
// as 255 x 5/6) may come out a hair off in binary; it is snapped to the half first
// so that it rounds as intended.
int RoundHalfEven(double v)
{
    const double half = std::floor(v) + 0.5;
    if (std::abs(v - half) < 1e-9)
        v = half;
    return int(std::nearbyint(v));
}

struct TChannels {
    double R, G, B;
};

TChannels Mix(const TChannels &a, const TChannels &b, double f)
{
    return { a.R + f * (b.R - a.R), a.G + f * (b.G - a.G), a.B + f * (b.B - a.B) };
}

TColor ColorValue(const TChannels &c)
{
    const auto channel = [](double v) { return std::clamp(RoundHalfEven(255 * v), 0, 255); };
    return RGB(channel(c.R), channel(c.G), channel(c.B));
}

// Magenta, red, yellow, green, cyan and blue: the outer corners of the colour comb.
constexpr std::array<TChannels, 6> CornerColors
    = { { { 1, 0, 1 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 }, { 0, 1, 1 }, { 0, 0, 1 } } };

} // namespace

const std::array<TNamedColor,
    TColorPickerGeometry::DefaultColorCount + TColorPickerGeometry::SystemColorCount> &
TColorPickerGeometry::Colors()
{
    static const std::array<TNamedColor, DefaultColorCount + SystemColorCount> table = { {
        { "Black", 0x000000 },
        { "Brown", 0x003399 },
        { "Olive Green", 0x003333 },
        { "Dark Green", 0x003300 },
        { "Dark Teal", 0x663300 },
        { "Dark blue", 0x800000 },
        { "Indigo", 0x993333 },
        { "Gray-80%", 0x333333 },
        { "Dark Red", 0x000080 },
        { "Orange", 0x0066FF },
        { "Dark Yellow", 0x008080 },
        { "Green", 0x008000 },
        { "Teal", 0x808000 },
        { "Blue", 0xFF0000 },
        { "Blue-Gray", 0x996666 },
        { "Gray-50%", 0x808080 },
        { "Red", 0x0000FF },
        { "Light Orange", 0x0099FF },
        { "Lime", 0x00CC99 },
        { "Sea Green", 0x669933 },
        { "Aqua", 0xCCCC33 },
        { "Light Blue", 0xFF6633 },
        { "Violet", 0x800080 },
        { "Grey-40%", 0x969696 },
        { "Pink", 0xFF00FF },
        { "Gold", 0x00CCFF },
        { "Yellow", 0x00FFFF },
        { "Bright Green", 0x00FF00 },
        { "Turquoise", 0xFFFF00 },
        { "Sky Blue", 0xFFCC00 },
        { "Plum", 0x663399 },
        { "Gray-25%", 0xC0C0C0 },
        { "Rose", 0xCC99FF },
        { "Tan", 0x99CCFF },
        { "Light Yellow", 0x99FFFF },
        { "Light Green", 0xCCFFCC },
        { "Light Turquoise", 0xFFFFCC },
        { "Pale Blue", 0xFFCC99 },
        { "Lavender", 0xFF99CC },
        { "White", 0xFFFFFF },
        { "system color: scroll bar", clScrollBar },
        { "system color: background", clBackground },
        { "system color: active caption", clActiveCaption },
        { "system color: inactive caption", clInactiveCaption },
        { "system color: menu", clMenu },
        { "system color: window", clWindow },
        { "system color: window frame", clWindowFrame },
        { "system color: menu text", clMenuText },
        { "system color: window text", clWindowText },
        { "system color: caption text", clCaptionText },
        { "system color: active border", clActiveBorder },
        { "system color: inactive border", clInactiveBorder },
        { "system color: application workspace", clAppWorkSpace },
        { "system color: highlight", clHighlight },
        { "system color: highlight text", clHighlightText },
        { "system color: button face", clBtnFace },
        { "system color: button shadow", clBtnShadow },
        { "system color: gray text", clGrayText },
        { "system color: button text", clBtnText },
        { "system color: inactive caption text", clInactiveCaptionText },
        { "system color: button highlight", clBtnHighlight },
        { "system color: 3D dark shadow", cl3DDkShadow },
        { "system color: 3D light", cl3DLight },
        { "system color: info text", clInfoText },
        { "system color: info background", clInfoBk },
    } };
    return table;
}

// Corners of a unit hexagon at 90, 30, -30, -90, -150 and -210 degrees, as (cos, sin) x 0.5.
TColorPickerGeometry::TColorPickerGeometry()
    : FCombCorners { { { 0, 0.5 }, { Cos30 / 2, Sin30 / 2 }, { Cos30 / 2, -Sin30 / 2 }, { 0, -0.5 },
        { -Cos30 / 2, -Sin30 / 2 }, { -Cos30 / 2, Sin30 / 2 } } }
{
    AdjustWindow(false, std::nullopt, std::nullopt);
}

int TColorPickerGeometry::CellCount() const
{
    return DefaultColorCount + (FShowSysColors ? SystemColorCount : 0);
}

int TColorPickerGeometry::CellTop(int row) const
{
    int top = row * FBoxSize + 2 * FMargin;
    if (FHasDefaultText)
        top += FDefaultTextRect.Bottom - 2 * FMargin;
    if (row >= FRowCount)
        top += 3 * FMargin;
    return top;
}

void TColorPickerGeometry::AdjustWindow(
    bool showSysColors, std::optional<QSize> defaultText, std::optional<QSize> customText)
{
    FShowSysColors = showSysColors;
    FHasDefaultText = defaultText.has_value();
    FHasCustomText = customText.has_value();
    FColumnCount = 8;
    FRowCount = DefaultColorCount / FColumnCount + (DefaultColorCount % FColumnCount ? 1 : 0);
    FSysRowCount = FShowSysColors ? SystemColorCount / FColumnCount + 1 : 0;

    // Captions are as wide as the grid, or wider for a long text; the mix caption
    // keeps room for its colour box on both sides so the centred text stays clear of it.
    const int inset = FMargin + FSpacing;
    int width = FColumnCount * FBoxSize + 2 * inset;
    if (defaultText)
        width = std::max(width, defaultText->width() + 2 * (2 * FMargin + 2) + 2 * inset);
    if (customText)
        width = std::max(width, customText->width() + 2 * (FBoxSize + FMargin) + 2 * inset);
    const int captionWidth = width - 2 * inset;

    int height = FRowCount * FBoxSize + 4 * FMargin;
    FDefaultTextRect = {};
    if (defaultText) {
        FDefaultTextRect = Bounds(inset, 2 * FMargin, captionWidth, defaultText->height() + 4 * FMargin + 2);
        height += FDefaultTextRect.Height();
    }
    int contentBottom = CellTop(FRowCount - 1) + FBoxSize;
    if (FShowSysColors) {
        height += FSysRowCount * FBoxSize + 2 * FMargin;
        contentBottom = CellTop(FRowCount + FSysRowCount - 1) + FBoxSize;
    }
    FCustomTextRect = {};
    FCustomColorRect = {};
    if (customText) {
        // Below the cells with the same gap as the system rows, an etched line in it.
        FCustomTextRect = Bounds(
            inset, contentBottom + 3 * FMargin, captionWidth, customText->height() + 4 * FMargin + 2);
        height = FCustomTextRect.Bottom + 2 * FMargin;
        const TRect box = Bounds(FCustomTextRect.Right - FBoxSize - FMargin,
            FCustomTextRect.Top + (FCustomTextRect.Height() - FBoxSize) / 2, FBoxSize, FBoxSize);
        FCustomColorRect = InflateRect(box, -(FMargin + 1), -(FMargin + 1));
    }
    FWindowRect = Rect(0, 0, width, height);

    FRadius = FColumnCount * FBoxSize * 7 / 16;
    FCombSize = RoundHalfEven(double(FRadius) / std::max(1, FLevels - 1) + 0.5);
    const int s = FCombSize;
    FColorCombRect = Bounds(inset, FWindowRect.Bottom, 2 * FRadius, 2 * FRadius);
    FBWCombRect = Rect(FColorCombRect.Left, FColorCombRect.Bottom - 4,
        RoundHalfEven(Cos30 * 17 * s / 2) + 6 * s, FColorCombRect.Bottom + 2 * s);
    FSliderRect = Rect(
        FColorCombRect.Right, FColorCombRect.Top + s, FColorCombRect.Right + 20, FColorCombRect.Bottom - s);
    CalculateCombLayout();
}

void TColorPickerGeometry::CalculateCombLayout()
{
    const int levels = std::max(1, FLevels);
    const TChannels center { FCenterColor.Red, FCenterColor.Green, FCenterColor.Blue };
    FColorCombs.clear();
    FColorCombs.reserve(std::size_t(1 + 3 * (levels - 1) * levels));
    FColorCombs.push_back({ QPoint(0, 0), ColorValue(center) });

    // Corner k of the outermost ring, with the components of the unit hexagon's corner
    // exchanged: corner 0 to the right, then clockwise (y grows downwards).
    const double d = 2 * Cos30 * FRadius;
    std::array<TFloatPoint, 6> corners;
    for (std::size_t k = 0; k < 6; ++k)
        corners[k] = { d * FCombCorners[k].Y, d * FCombCorners[k].X };

    for (std::size_t k = 0; k < 6; ++k) {
        const std::size_t next = (k + 1) % 6;
        for (int ring = 1; ring < levels; ++ring) {
            const double f = double(ring) / (levels - 1);
            const TFloatPoint from { f * corners[k].X, f * corners[k].Y };
            const TFloatPoint to { f * corners[next].X, f * corners[next].Y };
            const TChannels fromColor = Mix(center, CornerColors[k], f);
            const TChannels toColor = Mix(center, CornerColors[next], f);
            // The ring's second end belongs to the next sector.
            for (int i = 0; i < ring; ++i) {
                const double t = double(i) / ring;
                const QPoint p(
                    RoundHalfEven(from.X + t * (to.X - from.X)), RoundHalfEven(from.Y + t * (to.Y - from.Y)));
                FColorCombs.push_back({ p, ColorValue(Mix(fromColor, toColor, t)) });
            }
        }
    }

    // White, fifteen greys in a zigzag and black, left to right.
    const int s = FCombSize;
    const int dx = RoundHalfEven(Cos30 * s / 2);
    const int dy = RoundHalfEven((Sin30 + 1) * s / 2);
    FBWCombs.clear();
    FBWCombs.reserve(17);
    FBWCombs.push_back({ QPoint(s, s), 0xFFFFFF });
    for (int i = 1; i <= 15; ++i) {
        const int grey = (16 - i) * 15;
        FBWCombs.push_back({ QPoint(RoundHalfEven(3 * s + (i - 1) * dx), 3 * (s / 4) + (i % 2 == 0 ? dy : 0)),
            RGB(grey, grey, grey) });
    }
    FBWCombs.push_back({ QPoint(RoundHalfEven(16 * dx + 4 * s), s), 0 });
}

void TColorPickerGeometry::SetCenterIntensity(double intensity)
{
    FCenterIntensity = std::clamp(intensity, 0.0, 1.0);
    const float channel = float(FCenterIntensity);
    FCenterColor = { channel, channel, channel };
    CalculateCombLayout();
}

int TColorPickerGeometry::GetRow(int index) const
{
    if ((index == CustomCell && FHasCustomText) || (index == DefaultCell && FHasDefaultText))
        return index;
    return index / FColumnCount;
}

int TColorPickerGeometry::GetColumn(int index) const
{
    if ((index == CustomCell && FHasCustomText) || (index == DefaultCell && FHasDefaultText))
        return index;
    return index % FColumnCount;
}

bool TColorPickerGeometry::GetCellRect(int index, TRect &r) const
{
    if (index == CustomCell && FHasCustomText) {
        r = FCustomTextRect;
        return true;
    }
    if (index == DefaultCell && FHasDefaultText) {
        r = FDefaultTextRect;
        return true;
    }
    if (index < 0 || index >= CellCount())
        return false;
    r = Bounds(GetColumn(index) * FBoxSize + FMargin + FSpacing, CellTop(GetRow(index)), FBoxSize, FBoxSize);
    return true;
}

int TColorPickerGeometry::SelectionFromPoint(QPoint p) const
{
    if (FHasCustomText && FCustomTextRect.Contains(p))
        return CustomCell;
    if (FHasDefaultText && FDefaultTextRect.Contains(p))
        return DefaultCell;
    // The cell whose drawn rectangle holds the point, so that what lights up under the
    // pointer is the cell the pointer is on; margins and the gap before the system
    // rows belong to no cell.
    const int x = p.x() - (FMargin + FSpacing);
    int y = p.y() - CellTop(0);
    if (x < 0 || y < 0)
        return NoCell;
    if (y >= FRowCount * FBoxSize)
        y -= 3 * FMargin;
    const int column = x / FBoxSize;
    const int index = (y / FBoxSize) * FColumnCount + column;
    TRect r;
    if (column >= FColumnCount || !GetCellRect(index, r) || !r.Contains(p))
        return NoCell;
    return index;
}

bool TColorPickerGeometry::PtInComb(const TCombEntry &entry, QPoint p, int radius)
{
    const int dx = entry.Position.x() - p.x();
    const int dy = entry.Position.y() - p.y();
    return dx * dx + dy * dy <= radius * radius;
}

QPoint TColorPickerGeometry::ColorCombCenter() const
{
    return { FColorCombRect.Left + FRadius, FColorCombRect.Top + FRadius };
}

int TColorPickerGeometry::FindColorArea(int x, int y) const
{
    const QPoint p = QPoint(x, y) - ColorCombCenter();
    for (std::size_t i = 0; i < FColorCombs.size(); ++i)
        if (PtInComb(FColorCombs[i], p, FCombSize / 2))
            return int(i);
    return -1;
}

int TColorPickerGeometry::FindBWArea(int x, int y) const
{
    const QPoint p(x - FBWCombRect.Left, y - FBWCombRect.Top);
    for (std::size_t i = 0; i < FBWCombs.size(); ++i) {
        const bool large = i == 0 || i + 1 == FBWCombs.size();
        if (PtInComb(FBWCombs[i], p, large ? FCombSize : FCombSize / 2))
            return int(i);
    }
    return -1;
}

int TColorPickerGeometry::HoverIndexFor(int index) const
{
    return index >= CellCount() ? NoCell : index;
}

int TColorPickerGeometry::LeaveBackward() const
{
    return FHasDefaultText ? DefaultCell : FHasCustomText ? CustomCell : LastCell();
}

int TColorPickerGeometry::LeaveForward() const
{
    return FHasCustomText ? CustomCell : FHasDefaultText ? DefaultCell : 0;
}

int TColorPickerGeometry::MoveHover(int index, TPickerKey key) const
{
    const bool backward = key == TPickerKey::Left || key == TPickerKey::Up;
    if (index == CustomCell)
        return backward ? LastCell() : (FHasDefaultText ? DefaultCell : 0);
    if (index == DefaultCell)
        return backward ? (FHasCustomText ? CustomCell : LastCell()) : 0;
    if (index < 0 || index > LastCell())
        return 0;
    switch (key) {
    case TPickerKey::Left:
        return index == 0 ? LeaveBackward() : index - 1;
    case TPickerKey::Right:
        return index == LastCell() ? LeaveForward() : index + 1;
    case TPickerKey::Up:
        return index < FColumnCount ? LeaveBackward() : index - FColumnCount;
    case TPickerKey::Down:
        return index + FColumnCount > LastCell() ? LeaveForward() : index + FColumnCount;
    }
    return index;
}

std::optional<TColor> TColorPickerGeometry::CustomColor(int customIndex) const
{
    if (customIndex > 0 && std::size_t(customIndex) <= FColorCombs.size())
        return FColorCombs[std::size_t(customIndex - 1)].Color;
    if (customIndex < 0 && std::size_t(-customIndex) <= FBWCombs.size())
        return FBWCombs[std::size_t(-customIndex - 1)].Color;
    return std::nullopt;
}

TColorPickerGeometry::TMatch TColorPickerGeometry::FindColor(TColor color) const
{
    if (color == clNone)
        return {};
    if (color == clDefault)
        return { DefaultCell, std::nullopt };
    const int count = CellCount();
    if (IsSystemColor(color))
        for (int i = DefaultColorCount; i < count; ++i)
            if (CellColor(i) == color)
                return { i, std::nullopt };
    const TColor rgb = ColorToRGB(color);
    for (int i = 0; i < count; ++i)
        if (ColorToRGB(CellColor(i)) == rgb)
            return { i, std::nullopt };
    for (std::size_t i = 0; i < FBWCombs.size(); ++i)
        if (FBWCombs[i].Color == rgb)
            return { CustomCell, -int(i + 1) };
    for (std::size_t i = 0; i < FColorCombs.size(); ++i)
        if (FColorCombs[i].Color == rgb)
            return { CustomCell, int(i + 1) };
    return {};
}

QPolygon TColorPickerGeometry::CombPolygon(int x, int y, int size) const
{
    QPolygon polygon(6);
    for (int k = 0; k < 6; ++k)
        polygon.setPoint(k, RoundHalfEven(x + size * FCombCorners[std::size_t(k)].X),
            RoundHalfEven(y + size * FCombCorners[std::size_t(k)].Y));
    return polygon;
}

int TColorPickerGeometry::SliderGrey(int j) const
{
    const int h = FSliderRect.Height() - 1;
    return h > 0 ? RoundHalfEven(double(h - j) * 255 / h) : 255;
}

int TColorPickerGeometry::MarkerY(double intensity) const
{
    return FSliderRect.Top + RoundHalfEven((1 - intensity) * (FSliderRect.Height() - 1));
}

double TColorPickerGeometry::IntensityAt(int y) const
{
    if (FSliderRect.Height() <= 0)
        return 1.0;
    return std::clamp(1.0 - double(y - FSliderRect.Top) / FSliderRect.Height(), 0.0, 1.0);
}

TRect TColorPickerGeometry::MixAreaRect() const
{
    return Rect(0, FColorCombRect.Top, FWindowRect.Right,
        UnionRect(FColorCombRect, FBWCombRect).Bottom + 2 * FMargin);
}

int TColorPickerGeometry::SystemSeparatorY() const
{
    return CellTop(FRowCount - 1) + FBoxSize + FMargin;
}

int TColorPickerGeometry::PopupHeight(bool mixShown) const
{
    return mixShown ? FBWCombRect.Bottom + 2 * FMargin : FWindowRect.Bottom;
}

TRect TColorPickerGeometry::PopupPlacement(const TRect &dest, QSize size, const TRect &screen)
{
    int left = dest.Left;
    int top = dest.Bottom;
    if (top + size.height() > screen.Bottom) {
        top = screen.Bottom - size.height();
        if (top < dest.Bottom)
            top = dest.Top - size.height();
        // Too high for above and below: keep it whole on the screen.
        top = std::max(top, screen.Top);
    }
    if (left + size.width() > screen.Right)
        left = screen.Right - size.width();
    left = std::max(left, screen.Left);
    return Bounds(left, top, size.width(), size.height());
}
