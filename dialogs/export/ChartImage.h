#pragma once

#include "document/calendar/DateTime.h"

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class TTimeChart;

// The chart over a date range as a picture: the days at the screen's zoom beside the
// position labels, every chart row below the header, and a stamp in the bottom right
// corner. It is painted in bands, so it is never held whole.
class TChartImage {
public:
    // `stamp` is written into the corner (empty: none).
    TChartImage(TTimeChart &chart, TDateTime start, TDateTime end, const QString &stamp);

    // The day columns at the screen's zoom by the chart rows and the caption row.
    QSize Size() const { return FSize; }
    // Paints the part `band` of the picture as the JPEG writer hands it: the painter
    // translated so that picture coordinates apply, and clipped to the band.
    void PaintBand(QPainter &painter, const QRect &band) const;

private:
    TTimeChart &FChart;
    TDateTime FStart;
    int FDays; // whole days from the start
    QString FStamp;
    QSize FSize;
};

// The stamp of an image saved now: the document's file name and, in parentheses, the
// date and time.
QString ImageStamp(const QString &fileName, TDateTime when);
