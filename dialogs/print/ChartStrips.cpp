#include "dialogs/print/ChartStrips.h"

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any printer's resolution: the zoom search ends there whatever the sizes say.
constexpr int HighestZoom = 1000000;

bool Fits(QSize size, QSize room)
{
    return size.width() < room.width() && size.height() < room.height();
}

} // namespace

std::vector<TChartStrip> StripDates(TDateTime start, TDateTime end, int days, int pages)
{
    std::vector<TChartStrip> strips;
    if (!std::isfinite(start) || !std::isfinite(end) || pages < 1)
        return strips;
    const int step = std::max(1, days / pages);
    for (TDateTime from = start; from + step <= end; from += step)
        strips.push_back({ from, from + step });
    return strips;
}

int FitZoom(const TStripSize &sizeAt, QSize room, int lowest)
{
    int zoom = 0;
    if (Fits(sizeAt(0), room)) {
        while (zoom < HighestZoom && Fits(sizeAt(zoom + 1), room))
            ++zoom;
        return zoom;
    }
    while (zoom > lowest && !Fits(sizeAt(zoom), room))
        --zoom;
    return zoom;
}

TStripPlacement PlaceStrip(const TStripSize &sizeAt, int lowest, QSize body, int titleHeight)
{
    TStripPlacement place;
    const QSize room(body.width(), body.height() - titleHeight);
    place.Zoom = FitZoom(sizeAt, room, lowest);
    place.Size = sizeAt(place.Zoom);
    // A day is a whole number of pixels wide at each zoom, so the next zoom can be a
    // good deal wider than the room: a chart stopped by the room's width takes all
    // of it, its days drawn a little wider than the zoom's.
    if (Fits(place.Size, room) && sizeAt(place.Zoom + 1).width() >= room.width())
        place.Size.setWidth(room.width());
    const int x = std::max(0, (body.width() - place.Size.width()) / 2);
    const int y = titleHeight + std::max(0, (body.height() - titleHeight - place.Size.height()) / 2);
    place.Chart = QPoint(x, y);
    // Over the part of the chart the page shows.
    const int shownRight = std::min(x + place.Size.width(), body.width());
    place.Title = QPoint((x + shownRight) / 2, y - titleHeight);
    return place;
}
