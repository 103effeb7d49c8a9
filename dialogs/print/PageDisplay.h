#pragma once

#include <QRectF>
#include <QSize>

class QPainter;
class TPagePicture;
class TPrintJob;

// Replays a page recorded in printer pixels over a printable area of `pageSize`,
// stretched onto `target` and clipped to it.
void PlayPage(QPainter &painter, const TPagePicture &page, QSize pageSize, const QRectF &target);

// Shows page `page` of a finished job in a box of `box` standing for the whole
// sheet: white paper, dotted frames around the printable area and the body, a dotted
// line at every inch, the punch holes when the punch margin is on, then the page.
// Nothing for a page the job does not have.
void DisplayPage(QPainter &painter, QSize box, const TPrintJob &job, int page);
