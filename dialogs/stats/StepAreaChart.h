#pragma once

#include "dialogs/stats/ChartAxes.h"
#include "dialogs/stats/Utilisation.h"
#include "platform/gui/Rect.h"
#include "timechart/CanvasPanel.h"

#include <QFontMetrics>
#include <vector>

// Where the parts of the chart lie in a client rectangle: two title lines on top,
// the value labels left of the plot, the date labels below it.
class TStepAreaLayout {
public:
    TStepAreaLayout(const TRect &client, const QFontMetrics &metrics, const std::vector<TChartPoint> &points,
        TDateTime from, TDateTime to);

    const TRect &Plot() const { return FPlot; }
    const TValueAxis &Values() const { return FValues; }
    const TDateTicks &Dates() const { return FDates; }
    int TitleTop() const { return FTitleTop; }
    // Pixel positions, unrounded.
    double X(TDateTime date) const;
    double Y(double value) const;

private:
    TRect FPlot;
    TValueAxis FValues;
    TDateTicks FDates;
    TDateTime FFrom;
    TDateTime FTo;
    int FTitleTop = 0;
};

// A stepped area chart of one curve over a date range: each point's value holds up
// to the next point (the last one up to the end of the range) and is filled red
// from zero. Labelled date and value axes, a title of two lines; nothing else.
class StepAreaChart : public TCanvasPanel {
    Q_OBJECT
public:
    explicit StepAreaChart(QWidget *parent = nullptr);

    void SetTitle(const QString &line1, const QString &line2);
    void SetCurve(std::vector<TChartPoint> points, TDateTime from, TDateTime to);

    const std::vector<TChartPoint> &Points() const { return FPoints; }
    QString TitleLine(int index) const { return index == 0 ? FTitle1 : FTitle2; }
    TStepAreaLayout Layout() const;
    // Draws the chart filling `client`.
    void Paint(QPainter &painter, const TRect &client) const;

private:
    QString FTitle1;
    QString FTitle2;
    std::vector<TChartPoint> FPoints;
    TDateTime FFrom = 0;
    TDateTime FTo = 1;
};
