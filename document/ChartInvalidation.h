#pragma once

#include "document/Document.h"

// The whole chart and its overview must be repainted (roles, filters, the shown
// table or the rows' order changed): the one way to say so. The host and every
// view hear it; telling the host alone would leave the chart's views as they were.
inline void InvalidateTimeChart(Document &doc)
{
    doc.Notify([](IDocumentObserver &o) { o.InvalidateTimeChart(); });
}
