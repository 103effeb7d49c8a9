#pragma once

#include "dialogs/print/PrinterDevice.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QSize>
#include <array>

// Where things go on a printed page, in printer pixels. The body is the printable
// area less the header lines above it, the footer lines below it and, with the punch
// margin on, a strip at the left edge kept free for filing holes.
class TPageGeometry {
public:
    static constexpr int MaxLine = 10; // header lines 1..10, footer lines -1..-10

    const TDeviceCaps &Caps() const { return FCaps; }
    void SetCaps(const TDeviceCaps &caps) { FCaps = caps; }
    bool Lochrand() const { return FLochrand; }
    void SetLochrand(bool on) { FLochrand = on; }

    // The height of header or footer line `line`; 0 for a line outside -10..10.
    int HeaderSizeOf(int line) const;
    // Makes line `line` (-10..10, not 0) at least `height` high.
    void GrowHeaderSize(int line, int height);
    void ClearHeaderSizes() { FHeaderSizes.fill(0); }

    // The punch margin's width: 12 mm of the printable width; 0 when off.
    int PunchMargin() const;
    int HeaderSize() const;
    int FooterSize() const;
    // The printable area, less header and footer lines and less the punch margin as asked.
    QSize PrintableSize(bool withHeaders, bool withMargin) const;
    // The body's top left corner within the printable area.
    QPoint PrintableOffset() const;
    QSize PhysicalSize() const { return { FCaps.PhysicalWidth, FCaps.PhysicalHeight }; }
    QPoint PhysicalOffset() const { return { FCaps.PhysicalOffsetX, FCaps.PhysicalOffsetY }; }
    QSize PixelsPerInch() const { return { FCaps.LogPixelsX, FCaps.LogPixelsY }; }

    // The top of header line `line` (1 right above the body, 2 above that) or footer
    // line `line` (-1 right below the body), in body coordinates.
    int LineTop(int line) const;

private:
    TDeviceCaps FCaps;
    bool FLochrand = false;
    std::array<int, 2 * MaxLine + 1> FHeaderSizes {}; // index line + MaxLine
};

// The paint box showing a page in a client area of `client`: the sheet's proportions,
// as large as fits, centred. Empty for a sheet or client without area.
TRect PositionPaintBox(const TDeviceCaps &caps, QSize client);
