#pragma once

#include "document/DocumentTypes.h"

#include <vector>

// Where the chart stands: its left date and its top pixel.
struct TChartViewPoint {
    TDateTime start = 0;
    int top = 0;
    bool operator==(const TChartViewPoint &) const = default;
};

// What applying a setup asks of the main window. Every call has a harmless
// default, so a setup can be applied with no window at all.
class ISetupTransferHost {
public:
    virtual ~ISetupTransferHost() = default;

    // The chart's view before the setup is applied ...
    virtual TChartViewPoint ChartView() const { return {}; }
    // ... and where its next scroll goes afterwards (back to that view).
    virtual void SetChartDestination(const TChartViewPoint &view) { }
    // A table's columns were laid out anew; the cells have moved and the
    // captions, types and items are set. New column i was old column origin[i]
    // (-1: inserted); old columns that no entry names were removed. Whatever the
    // window keeps by column index follows (sort keys), the header images follow
    // each column's filter, and the widths are fitted to the contents.
    virtual void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin) { }
};
