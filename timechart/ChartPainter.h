#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"
#include "timechart/BarIndex.h"
#include "timechart/ChartCanvas.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class Document;
class IChartPaintGeometry;
class QFont;
class QPainter;
class TBarPainter;
struct TProgramSettings;

// Chart colours of the body.
constexpr TColor ChartBackColor = 0xFFFFFF;
constexpr TColor NonWorkingColor = 0xF0E5CC;
constexpr TColor GridColor = 0xE0CA92;
constexpr TColor MonthDividerColor = 0x706449;
constexpr TColor TodayColor = 0x7362D6;
constexpr TColor DeadlinePassedColor = 0x11CCFF;
constexpr TColor DeadlineAheadColor = 0xC0C0C0;

// What the mouse is doing, as far as the chart shows it.
struct TChartPaintMouse {
    // Bars are being moved: their start dates are shown beside them.
    bool MovingItems = false;
    // A rubber band is being dragged from Mouse to LastMouse.
    bool RubberBand = false;
    QPoint Mouse;
    QPoint LastMouse;
};

// Paints the body of the time chart for any view on any canvas: background, time
// grid, non-working hours, inactive weekdays and public holidays, month dividers,
// row lines, the bars of both tables, the today marker, deadline arrows, the date
// boxes of moved bars and the position labels; and the whole chart with its header
// for printing and export.
class TChartPainter {
public:
    TChartPainter(Document &doc, const IChartPaintGeometry &geometry, const TProgramSettings &settings,
        TBarPainter &bars);
    TChartPainter(const TChartPainter &) = delete;
    TChartPainter &operator=(const TChartPainter &) = delete;

    // The body for [viewStart, viewEnd] over `width` pixels with the rows scrolled up
    // by `top`, shifted by (x, y). `small` paints the overview (the canvas's height
    // shared by the rows; no weekdays, holidays, month or row lines, arrows or date
    // boxes). extraZoom and pixelsPerInch scale for printing (0 on screen); `screen`
    // is false for printing and export.
    void DrawTimeChart(const TChartCanvas &canvas, bool small, double viewStart, double viewEnd, int top,
        int width, int x, int y, bool showToday, int extraZoom, int pixelsPerInch, bool screen);
    void DrawBackgnd(const TChartCanvas &canvas, double viewStart, double viewEnd, int top, int rowHeight,
        int width, int x, int y);
    void DrawWeekInfo(const TChartCanvas &canvas, double viewStart, double viewEnd, int top, int rowHeight,
        int width, int x, int y);
    // The public holidays of the chart's range, with their names written down the day.
    void DrawAutoExcludes(const TChartCanvas &canvas, double viewStart, double viewEnd, int top,
        int rowHeight, int width, int x, int y, int extraZoom);
    void DrawMonthDivider(
        const TChartCanvas &canvas, double viewStart, double viewEnd, int rowHeight, int width, int x, int y);
    // A cell of the day columns start .. end in `row` (-9: every row), with a text
    // written down its middle in the canvas's (rotated) font.
    void DrawFreeItem(const TChartCanvas &canvas, TDateTime start, TDateTime end, int row,
        const QString &text, double viewStart, double viewEnd, int top, int rowHeight, int width, int x,
        int y);
    void DrawTimeChartPositions(const TChartCanvas &canvas, double viewStart, double viewEnd, int top,
        int width, int x, int y, int extraZoom, int pixelsPerInch, bool screen);
    // The start of a bar being moved: a clock in hours mode, else its date, in a box
    // around the bar's top-left corner (ItemInfoRect, for the bar at `bar`).
    TRect ItemInfoRect(TWhichTable table, const TNodeData *node, const TRect &bar) const;
    void DrawItemInfo(const TChartCanvas &canvas, TWhichTable table, TNodeData *node, double viewStart,
        double viewEnd, int top, int rowHeight, int width, int x, int y);
    // The whole chart with the logo, the three header rows and the labels, for
    // printing and export, in the box (x, y, width, height).
    void DrawBitmap(const TChartCanvas &canvas, double viewStart, double viewEnd, int x, int y, int width,
        int height, bool showToday, int extraZoom, int pixelsPerInch);

    // The note below the last row while empty rows are hidden (empty otherwise).
    QString FadeOutNote() const;

    TChartPaintMouse &Mouse() { return FMouse; }
    // The rows by the days their bars cover (hit tests use it too).
    TBarIndex &Index() { return FBarIndex; }
    // The present moment the today marker shows (replaceable for tests).
    void SetNow(std::function<TDateTime()> now) { FNow = std::move(now); }
    // Where "Logo.jpg" is looked for (the program's folder unless set).
    void SetLogoFolder(const QString &folder) { FLogoFolder = folder; }
    QString LogoFileName() const;

private:
    struct TView;
    struct TBarRow {
        TNodeData *node;
        bool hidden;
        bool selected;
        bool bar; // false: only its deadline arrow may show
    };

    // The rows of a table whose bars or deadline arrows may show in the view, in
    // the order drawn; an arrow reaches `arrowReach` pixels past its ends.
    std::vector<TBarRow> VisibleRows(TWhichTable table, const TView &view, int arrowReach);
    void DrawRowLines(const TChartCanvas &canvas, const TView &view) const;
    void DrawBars(const TChartCanvas &canvas, const TView &view, bool small, int fontSize, bool screen,
        std::vector<TBarRow> (&rows)[kTableCount]);
    void DrawToday(const TChartCanvas &canvas, const TView &view) const;
    void DrawArrows(const TChartCanvas &canvas, const TView &view, const std::vector<TBarRow> &tasks) const;
    void DrawLogo(QPainter &canvas, const TRect &box) const;
    // The themed push-button face of the labels, drawn once per size; a label with
    // its name on it, drawn once per name, size and font.
    const QImage &LabelFace(QSize size);
    const QImage &LabelImage(const QString &name, QSize size, const QFont &font);
    static void DrawLabelName(QPainter &canvas, const QString &name, const TRect &r);

    Document &FDoc;
    const IChartPaintGeometry &FGeometry;
    const TProgramSettings &FSettings;
    TBarPainter &FBars;
    TBarIndex FBarIndex;
    TChartPaintMouse FMouse;
    std::function<TDateTime()> FNow;
    QString FLogoFolder;
    QImage FLabelFace;
    QHash<QString, QImage> FLabelImages;
    QString FLabelImagesKey;
    TChartFont FFont;
};
