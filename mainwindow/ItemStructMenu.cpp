#include "mainwindow/ItemStructMenu.h"

#include "platform/gui/Color.h"
#include "timechart/BarPainter.h"
#include "timechart/ChartCanvas.h"

#include <QAction>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

namespace {

constexpr int kItemHeightLess = 12;

} // namespace

std::array<QImage, 3> MakeItemStructImages(
    TBarPainter &painter, TWhichTable table, QSize size, const QString &fontName, int fontSize)
{
    const int h = size.height();
    // The text band of each layout: the full height, half of it and a third.
    const std::array<int, 3> bands { h, h / 2 + 7, h / 3 + 1 };
    std::array<QImage, 3> images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(ToQColor(SampleBackColor));
        {
            QPainter p(&image);
            p.setPen(ToQColor(clBtnShadow));
            p.drawRect(0, 0, size.width() - 1, h - 1);
            p.setClipRect(1, 1, size.width() - 2, h - 2);
            painter.DrawItem(TChartCanvas(p, TCanvasKind::Other), false, table, nullptr, 0, 0, 0, bands[i],
                size.width(), TRowSet(i), 0, 0, fontName, fontSize, true);
        }
        // The sample's background is the mask colour.
        const QRgb mask = ToQColor(SampleBackColor).rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == mask)
                    line[x] = 0;
        }
        images[i] = std::move(image);
    }
    return images;
}

TItemStructItem::TItemStructItem(QAction &action, QWidget *parent)
    : QWidget(parent)
    , FAction(action)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void TItemStructItem::SetImage(const QImage &image)
{
    FImage = image;
    updateGeometry();
    update();
}

QSize TItemStructItem::sizeHint() const
{
    const QSize image = FImage.isNull() ? kItemStructImageSize : FImage.size();
    return { image.width(), image.height() - kItemHeightLess };
}

void TItemStructItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool hot = underMouse() || hasFocus();
    p.fillRect(rect(), hot ? palette().highlight() : palette().window());
    if (FAction.isChecked()) {
        p.setPen(palette().highlight().color());
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!FImage.isNull())
        p.drawImage((width() - FImage.width()) / 2, (height() - FImage.height()) / 2, FImage);
}

void TItemStructItem::Choose()
{
    // Menus close first: the action may open a window of its own.
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (auto *menu = qobject_cast<QMenu *>(w))
            menu->hide();
    FAction.trigger();
}

void TItemStructItem::mouseReleaseEvent(QMouseEvent *)
{
    Choose();
}

void TItemStructItem::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Choose();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TItemStructItem::enterEvent(QEnterEvent *event)
{
    update();
    QWidget::enterEvent(event);
}

void TItemStructItem::leaveEvent(QEvent *event)
{
    update();
    QWidget::leaveEvent(event);
}

QAction *AddItemStructItem(QMenu &menu, TRowSet rowSet, const QString &name)
{
    auto *action = new QWidgetAction(&menu);
    action->setObjectName(name);
    action->setData(int(rowSet));
    action->setCheckable(true);
    action->setDefaultWidget(new TItemStructItem(*action));
    menu.addAction(action);
    return action;
}
