#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"
#include "timechart/ChartCanvas.h"
#include "timechart/OverviewBoxes.h"

#include <QFont>
#include <QString>
#include <optional>

class Document;
class IChartPaintGeometry;
class QImage;
class QPainter;
struct TProgramSettings;

// Chart colours the bar painter shares with the background painter.
constexpr TColor ChartCellColor = 0xF0E5CC; // inactive days, overview bars
constexpr TColor BarMissingColor = 0x808080; // a colour index outside the list
constexpr TColor OverlapColor = 0x0000FF;
constexpr TColor NotOverlappingColor = 0xC0C0C0;
constexpr TColor SampleBackColor = 0x008000;

// Paints the records of both tables as bars: a box in the record's colour with up
// to nine texts, the selection flash and shadow, translucency for filtered records
// and the overlap colours. On the window's chart every bar is rendered once into
// the record's own image and copied from there; the cache's bytes are bounded.
class TBarPainter {
public:
    // Bars larger than this either way are drawn directly, never kept.
    static constexpr int MaxCachedSide = 4096;
    // The window's chart keeps the images of this many screens' worth of bars.
    static constexpr int CachedScreens = 4;

    TBarPainter(Document &doc, const IChartPaintGeometry &geometry, const TProgramSettings &settings);
    TBarPainter(const TBarPainter &) = delete;
    TBarPainter &operator=(const TBarPainter &) = delete;

    // Paints `node` of `table` (null: the editor's sample, one band of rowHeight in
    // the canvas's clip, with the bound columns' captions as texts) for the view
    // [viewStart, viewEnd] over `width` pixels, shifted by (x, y). `small` draws the
    // overview's plain box; `screen` is false for printing and export.
    void DrawItem(const TChartCanvas &canvas, bool small, TWhichTable table, TNodeData *node,
        double viewStart, double viewEnd, int top, int rowHeight, int width, TRowSet rowSet, int x, int y,
        const QString &fontName, int fontSize, bool screen);

    // Set at start-up: whether filtered bars are blended and selected ones shaded.
    bool AllowAlpha() const { return FAllowAlpha; }
    void SetAllowAlpha(bool allow) { FAllowAlpha = allow; }
    // The step of the selection flash, 0..6; 0 is the normal look.
    int FlashStep() const { return FFlashStep; }
    void SetFlashStep(int step);
    static int HighlightPercent(int step);

    // The overview's boxes written straight into its image while a paint of it
    // lasts (TOverviewBoxesPaint).
    TOverviewBoxes &OverviewBoxes() { return FOverviewBoxes; }
    TBarBitmapCache &Cache() { return FCache; }
    const TBarBitmapCache &Cache() const { return FCache; }
    // Bars rendered into their cached images, and bars painted into the overview,
    // since the counters were last reset (diagnostics).
    int redrawcount = 0;
    int smallredrawcount = 0;

private:
    struct TBarJob;
    struct TBoxColors {
        TColor brush;
        TColor pen;
    };

    // The fill and outline of a bar's box; without the box (drawBox false) the
    // record's own colour, that its texts contrast with.
    TBoxColors BoxColors(
        TWhichTable table, const TNodeData *node, int rowHeight, bool drawText, bool drawBox) const;
    static void DrawBox(QPainter &canvas, const TBoxColors &colors, const TRect &r);
    // A selected bar's fill for its own colour at the flash's step.
    TColor SelectedColor(TColor brush) const;
    // An overview box's outline, faded from the pen towards its fill.
    TColor OutlineColor(TColor pen, TColor brush, int percent) const;

    void DrawTo(
        QPainter &canvas, const TBarJob &job, TRect r, bool drawBox, bool drawText, bool textOnBackground);
    void DrawTexts(QPainter &canvas, const TBarJob &job, const TRect &r);
    QString txt(const TBarJob &job, TConnection role) const;
    // The bar's pixels for the window's chart: its cached image, rendered again when
    // stale, or for a bar too large to keep, a rendering of its visible part.
    QImage BarImage(const TChartCanvas &canvas, const TBarJob &job, const TRect &r, TRect &placed);

    Document &FDoc;
    const IChartPaintGeometry &FGeometry;
    const TProgramSettings &FSettings;
    TBarBitmapCache FCache;
    bool FAllowAlpha = true;
    int FFlashStep = 0;
    TChartFont FFont;
    struct TSelectedColor {
        TColor brush;
        int percent;
        TColor selected;
    };
    mutable std::optional<TSelectedColor> FSelected;
    struct TOutlineColor {
        TColor pen;
        TColor brush;
        int percent;
        TColor outline;
    };
    mutable std::optional<TOutlineColor> FOutline;
    TOverviewBoxes FOverviewBoxes;
};

// Darkens `rect` of `image` towards black by the constant alpha (of 255).
void DoShadowBlend(QImage &image, const TRect &rect, int alpha);
// The inner shadow of a selected bar of w x h pixels whose top-left corner lies at
// `origin` of `image`: a band along the bottom and one along the right edge, each
// of five nested rectangles darkened a little more towards the inside.
void DrawSelectionShadow(QImage &image, QPoint origin, int w, int h);
