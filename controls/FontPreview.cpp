#include "controls/FontPreview.h"

#include "platform/gui/Color.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/Rect.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kNamePanelHeight = 16;
constexpr int kMargin = 4;

} // namespace

TFormExampleFont::TFormExampleFont(QWidget *Owner)
    : QWidget(Owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    resize(PreviewWidth, PreviewHeight);
}

void TFormExampleFont::SetSample(const QString &FontName, const QString &Text, bool ShowFontName)
{
    FFontName = FontName;
    FText = Text;
    FShowFontName = ShowFontName;
    update();
}

void TFormExampleFont::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int ppi = DevicePpi(*this);
    const TRect all = Rect(0, 0, width(), height());
    painter.fillRect(ToQRect(all), ToQColor(clWhite));

    TRect sample = all;
    if (FShowFontName) {
        const TRect name = Rect(0, all.Bottom - kNamePanelHeight, all.Right, all.Bottom);
        sample.Bottom = name.Top;
        painter.setPen(ToQColor(clBtnShadow));
        painter.drawLine(name.Left, name.Top, name.Right - 1, name.Top);
        painter.setPen(ToQColor(clGrayText));
        painter.setFont(font());
        const int top = name.Top + (name.Height() - QFontMetrics(font(), this).height()) / 2;
        TextOutTopLeft(painter, kMargin, top, FFontName);
    }

    painter.setClipRect(ToQRect(sample));
    painter.setFont(MakeFont(FFontName, SamplePoints, ppi));
    painter.setPen(ToQColor(clBlack));
    const int top = sample.Top + (sample.Height() - QFontMetrics(painter.font(), this).height()) / 2;
    TextOutTopLeft(painter, kMargin, top, FText);
    painter.setClipping(false);

    painter.setPen(ToQColor(clBtnShadow));
    // Qt's outline covers one pixel more than the rectangle to the right and below.
    painter.drawRect(ToQRect(all).adjusted(0, 0, -1, -1));
}
