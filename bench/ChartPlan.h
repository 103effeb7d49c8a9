// The generated plans the chart benchmarks paint: a plan of 1k tasks with every
// bar text and deadline, or the same with extra tasks the view does not show, its
// chart on a panel of 1920 x 1080 pixels from 1 March 2024.
#pragma once

#include "bench/generator/DocumentGenerator.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>

namespace bench {

struct TChartPlan {
    static constexpr int Width = 1920;
    static constexpr int Height = 1080;
    static inline const TDateTime ViewStart = EncodeDate(2024, 3, 1);

    explicit TChartPlan(int extraTasks, int zoom = 100)
    {
        GeneratorOptions o;
        o.deadlines = true;
        o.barTexts = true;
        o.extraTasks = extraTasks;
        GenerateDocument(doc, o);
        chart = std::make_unique<TTimeChart>(doc, host);
        chart->resize(Width + 40, Height + 400);
        chart->show();
        chart->TimeChart().setFixedSize(Width, Height);
        QCoreApplication::processEvents();
        chart->RedrawTimer().stop();
        chart->UpdateBoundsProc();
        chart->SetZoom(zoom);
        chart->SetTimeChartDestination(ViewStart, 0, true);
    }
    ITimeChartHost host;
    Document doc;
    std::unique_ptr<TTimeChart> chart;
    QImage image { Width, Height, QImage::Format_ARGB32 };

    // What the chart's panel does on a paint: erase the region, then the chart's
    // paint handler draws into it; for a full paint the labels go over it.
    void Paint(const QRegion &region = QRegion(0, 0, Width, Height))
    {
        QPainter p(&image);
        p.setClipRegion(region);
        for (const QRect &r : region)
            p.fillRect(r, ToQColor(chart->TimeChart().Color()));
        chart->TimeChartPaint(p, region);
    }
    void PaintAll()
    {
        Paint();
        QPainter p(&image);
        chart->TimeChartOverlayPaint(p, QRegion(0, 0, Width, Height));
    }
};

// The 1k plan and the 100k plan showing the same bars; they live until ResetPlans,
// which main calls before the application goes.
inline std::unique_ptr<TChartPlan> &SmallChartPlan()
{
    static std::unique_ptr<TChartPlan> plan;
    if (!plan)
        plan = std::make_unique<TChartPlan>(0);
    return plan;
}
inline std::unique_ptr<TChartPlan> &LargeChartPlan()
{
    static std::unique_ptr<TChartPlan> plan;
    if (!plan)
        plan = std::make_unique<TChartPlan>(99000);
    return plan;
}
inline void ResetChartPlans()
{
    SmallChartPlan().reset();
    LargeChartPlan().reset();
}

} // namespace bench
