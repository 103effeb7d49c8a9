#include "mainwindow/MainImages.h"

#include "components/gui/ImageList.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

const QColor kInk(0x30, 0x30, 0x30);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x2A, 0x5D, 0xB0);
const QColor kGreen(0x2E, 0x8B, 0x3A);
const QColor kRed(0xC0, 0x30, 0x30);
const QColor kYellow(0xE8, 0xC0, 0x40);

// A sheet of paper with a folded corner.
void Sheet(QPainter &p, const QRectF &r)
{
    QPolygonF outline;
    outline << r.topLeft() << QPointF(r.right() - 3, r.top()) << QPointF(r.right(), r.top() + 3)
            << r.bottomRight() << r.bottomLeft();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPolygon(outline);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void Arrow(QPainter &p, bool forward)
{
    QPainterPath path;
    if (forward) {
        path.moveTo(3, 11);
        path.cubicTo(3, 5, 9, 4, 12, 7);
    } else {
        path.moveTo(13, 11);
        path.cubicTo(13, 5, 7, 4, 4, 7);
    }
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPolygonF head;
    if (forward)
        head << QPointF(14, 4) << QPointF(14, 10) << QPointF(9, 9);
    else
        head << QPointF(2, 4) << QPointF(2, 10) << QPointF(7, 9);
    p.drawPolygon(head);
}

void Rows(QPainter &p, int rows, int highlighted)
{
    for (int i = 0; i < rows; ++i) {
        const QRectF row(2, 2 + i * 4, 12, 3);
        p.setPen(QPen(kInk, 1));
        p.setBrush(i == highlighted ? kBlue : kPaper);
        p.drawRect(row);
    }
}

void Funnel(QPainter &p, const QColor &fill)
{
    QPolygonF funnel;
    funnel << QPointF(1.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 8.5) << QPointF(9.5, 13.5)
           << QPointF(6.5, 11.5) << QPointF(6.5, 8.5);
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawPolygon(funnel);
}

void SortArrow(QPainter &p, bool ascending)
{
    p.setPen(QPen(kInk, 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(2, 4 + i * 4), QPointF(ascending ? 4 + i * 2 : 8 - i * 2, 4 + i * 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPolygonF head;
    if (ascending)
        head << QPointF(12, 3) << QPointF(15, 8) << QPointF(9, 8);
    else
        head << QPointF(12, 13) << QPointF(15, 8) << QPointF(9, 8);
    p.drawPolygon(head);
    p.fillRect(QRectF(11, ascending ? 8 : 3, 2, 5), kBlue);
}

void Draw(QPainter &p, int index)
{
    switch (index) {
    case miNew:
        Sheet(p, QRectF(3.5, 1.5, 9, 13));
        break;
    case miOpen:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kYellow);
        p.drawRect(QRectF(1.5, 4.5, 13, 9));
        p.drawRect(QRectF(1.5, 3.5, 5, 1));
        break;
    case miSave:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    case miCut:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 2), QPointF(11, 10));
        p.drawLine(QPointF(12, 2), QPointF(5, 10));
        p.drawEllipse(QRectF(2, 10, 4, 4));
        p.drawEllipse(QRectF(10, 10, 4, 4));
        break;
    case miCopy:
        Sheet(p, QRectF(1.5, 1.5, 8, 10));
        Sheet(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case miPaste:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kYellow);
        p.drawRect(QRectF(2.5, 2.5, 10, 12));
        Sheet(p, QRectF(6.5, 6.5, 8, 8));
        break;
    case miUndo:
        Arrow(p, false);
        break;
    case miRedo:
        Arrow(p, true);
        break;
    case miAddNode:
        Rows(p, 2, -1);
        p.fillRect(QRectF(9, 9, 6, 2), kGreen);
        p.fillRect(QRectF(11, 7, 2, 6), kGreen);
        break;
    case miDeleteNode:
        Rows(p, 2, -1);
        p.setPen(QPen(kRed, 2));
        p.drawLine(QPointF(9, 8), QPointF(14, 13));
        p.drawLine(QPointF(14, 8), QPointF(9, 13));
        break;
    case miFind:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(2, 2, 8, 8));
        p.setPen(QPen(kInk, 2.5));
        p.drawLine(QPointF(9, 9), QPointF(14, 14));
        break;
    case miSplit:
        p.fillRect(QRectF(1, 5, 6, 6), kBlue);
        p.fillRect(QRectF(9, 5, 6, 6), kBlue);
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.drawLine(QPointF(8, 1), QPointF(8, 15));
        break;
    case miGoto:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.fillRect(QRectF(2, 3, 12, 3), kRed);
        p.fillRect(QRectF(7, 9, 3, 3), kBlue);
        break;
    case miPrint:
    case miPrintList:
        Sheet(p, QRectF(4.5, 1.5, 7, 6));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawRect(QRectF(1.5, 7.5, 13, 6));
        if (index == miPrintList)
            p.fillRect(QRectF(3, 10, 10, 1), kInk);
        break;
    case miSelectAll:
        Rows(p, 3, 1);
        p.setPen(QPen(kBlue, 1));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRectF(3, 3 + i * 4, 10, 2), kBlue);
        break;
    case miFilter:
    case miColumnNotFiltered:
        Funnel(p, kPaper);
        break;
    case miColumnFiltered:
        Funnel(p, kBlue);
        break;
    case miClearFilter:
    case miClearAllFilters:
        Funnel(p, index == miClearAllFilters ? kBlue : kPaper);
        p.setPen(QPen(kRed, 2));
        p.drawLine(QPointF(9, 9), QPointF(14, 14));
        p.drawLine(QPointF(14, 9), QPointF(9, 14));
        break;
    case miAutoSize:
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(8, 1), QPointF(8, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({ QPointF(1, 8), QPointF(6, 4), QPointF(6, 12) }));
        p.drawPolygon(QPolygonF({ QPointF(15, 8), QPointF(10, 4), QPointF(10, 12) }));
        break;
    case miSortAscending:
        SortArrow(p, true);
        break;
    case miSortDescending:
        SortArrow(p, false);
        break;
    default:
        break;
    }
}

} // namespace

std::unique_ptr<TImageList> MakeMainImages()
{
    auto list = std::make_unique<TImageList>(16, 16);
    for (int index = 0; index < kMainImageCount; ++index) {
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        Draw(painter, index);
        painter.end();
        list->Add(image);
    }
    return list;
}
