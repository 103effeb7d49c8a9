#pragma once

#include "platform/gui/Color.h"
#include "timechart/CaptionLayout.h"

#include <QStringList>

class IChartPaintGeometry;
class TChartCanvas;

// Colours of the date header rows.
constexpr TColor CaptionBackColor = 0x978762;
constexpr TColor CaptionWeekBackColor = 0x706449;
constexpr TColor CaptionTextColor = 0xFFFFFF;
constexpr TColor CaptionLineColor = 0x706449;
constexpr TColor SmallCaptionBackColor = 0xFFFFFF;
constexpr TColor SmallCaptionTextColor = 0x706449;
constexpr TColor SmallCaptionLineColor = 0xF0E5CC;

// Paints header row `row` of date cells for [viewStart, viewEnd] over `width`
// pixels at (x, y): the band in backColour with a white line along its bottom, a
// separator in lineColour at each cell's start and the cells' texts. A band is a
// third of the chart's full row height at the print zoom; on the overview's caption
// the caption's whole height. Nothing for an empty view.
void DrawCaption(const TChartCanvas &canvas, const IChartPaintGeometry &geometry, double viewStart,
    double viewEnd, int row, int width, const QStringList &pieces, TCaptionLabel unit, TColor backColour,
    TColor textColour, TColor lineColour, int x, int y, int extraZoom, int pixelsPerInch, bool screen,
    int visibleLeft = 0);

// The chart's three header rows: months, calendar weeks, and weeks or days (the
// third row's unit).
void DrawTimeChartCaptions(const TChartCanvas &canvas, const IChartPaintGeometry &geometry, double viewStart,
    double viewEnd, int width, int x, int y, int extraZoom, int pixelsPerInch, bool screen,
    TCaptionLabel thirdRow, int visibleLeft = 0);
// The overview's one row of months.
void DrawSmallTimeChartCaption(const TChartCanvas &canvas, const IChartPaintGeometry &geometry,
    double viewStart, double viewEnd, int width);
