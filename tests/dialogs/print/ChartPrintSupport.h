// A generated plan in the chart's window, for the chart printing and image tests.
#pragma once

#include "bench/generator/DocumentGenerator.h"
#include "tests/support/PixelTest.h"
#include "tests/timechart/ChartTestSupport.h"

namespace printtest {

// The chart of a generated plan: `positions` positions over 45 days from Monday
// 1 January 2024, 8 pixels a day at zoom 100, the pinned font.
struct TPlanChart : charttest::ChartFixture {
    explicit TPlanChart(int positions = 8, int tasks = 60)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = 8;
        options.positions = positions;
        options.spanDays = 45;
        options.deadlines = true;
        GenerateDocument(*doc, options);
        chart->SetTimeChartFontName(QString::fromLatin1(testsupport::TestFontFamily));
        chart->UpdateBoundsProc();
        chart->SetTimeChartStart(Jan1 + 7);
    }

    // 1 January 2024 is a Monday.
    const TDateTime Jan1 = EncodeDate(2024, 1, 1);
};

} // namespace printtest
