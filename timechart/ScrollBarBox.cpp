#include "timechart/ScrollBarBox.h"

#include "timechart/CanvasPanel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

// The sunken edge of a single border: two pixels.
constexpr int SunkenEdgeWidth = 2;

TScrollCode CodeOfAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return scLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return scLineDown;
    case QAbstractSlider::SliderPageStepSub:
        return scPageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return scPageDown;
    case QAbstractSlider::SliderToMinimum:
        return scTop;
    case QAbstractSlider::SliderToMaximum:
        return scBottom;
    case QAbstractSlider::SliderMove:
        return scThumbTrack;
    default:
        return scEndScroll;
    }
}

} // namespace

// --- TScrollBarOptions ---

namespace chartbox {

TScrollBarOptions::TScrollBarOptions(TScrollBarBox &owner)
    : m_owner(owner)
{ }

void TScrollBarOptions::Assign(const TScrollBarOptions &source)
{
    SetScrollBars(source.m_scrollBars);
    SetScrollBarStyle(source.m_scrollBarStyle);
}

void TScrollBarOptions::SetScrollBars(TScrollStyle value)
{
    if (value == m_scrollBars)
        return;
    m_scrollBars = value;
    m_owner.UpdateScrollBars();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle value)
{
    // The bars' look is the application style's; the choice is kept for the settings.
    m_scrollBarStyle = value;
}

bool TScrollBarOptions::Shows(TScrollBarKind kind) const
{
    return m_scrollBars == ssBoth
        || (kind == sbHorizontal ? m_scrollBars == ssHorizontal : m_scrollBars == ssVertical);
}

} // namespace chartbox

// --- TScrollBarInfo ---

TScrollBarInfo::TScrollBarInfo(TScrollBarBox &owner, TScrollBarKind kind)
    : m_owner(owner)
    , m_kind(kind)
{ }

void TScrollBarInfo::Assign(const TScrollBarInfo &source)
{
    m_trackPos = source.m_trackPos;
    SetAll(source.m_min, source.m_max, source.m_page, source.m_pos);
}

void TScrollBarInfo::GetInfo()
{
    const QScrollBar &bar = m_owner.Bar(m_kind);
    m_pos = bar.value();
    m_trackPos = bar.sliderPosition();
}

void TScrollBarInfo::SetInfo()
{
    m_page = std::max(0, m_page);
    m_max = std::max(m_min, m_max);
    m_pos = std::clamp(m_pos, m_min, std::max(m_min, m_max - m_page));
    QScrollBar &bar = m_owner.Bar(m_kind);
    const bool shown = m_owner.ScrollBarOptions().Shows(m_kind);
    if (shown) {
        const QSignalBlocker quiet(bar);
        bar.setRange(m_min, std::max(m_min, m_max - m_page));
        bar.setPageStep(std::max(1, m_page));
        bar.setSingleStep(1);
        bar.setValue(m_pos);
    }
    bar.setVisible(shown);
}

void TScrollBarInfo::SetAll(int min, int max, int page, int pos)
{
    m_min = min;
    m_max = max;
    m_page = page;
    m_pos = pos;
    SetInfo();
}

void TScrollBarInfo::SetPos(int pos)
{
    m_pos = pos;
    SetInfo();
}

void TScrollBarInfo::ScrollMessage(TScrollCode code)
{
    GetInfo();
    switch (code) {
    case scLineUp:
        SetPos(m_pos - 1);
        break;
    case scLineDown:
        SetPos(m_pos + 1);
        break;
    case scPageUp:
        SetPos(m_pos - m_page);
        break;
    case scPageDown:
        SetPos(m_pos + m_page);
        break;
    case scThumbPosition:
    case scThumbTrack:
        SetPos(m_trackPos);
        break;
    case scTop:
        SetPos(0);
        break;
    case scBottom:
        SetPos(m_max - m_page);
        break;
    case scEndScroll:
        break;
    }
}

// --- TScrollBarBox ---

TScrollBarBox::TScrollBarBox(QWidget *parent)
    : QFrame(parent)
    , m_panel(new TCanvasPanel(this))
    , m_horzBar(new QScrollBar(Qt::Horizontal, this))
    , m_vertBar(new QScrollBar(Qt::Vertical, this))
    , m_scrollBarOptions(*this)
    , m_horzScrollInfo(*this, sbHorizontal)
    , m_vertScrollInfo(*this, sbVertical)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel, 0, 0);
    layout->addWidget(m_vertBar, 0, 1);
    layout->addWidget(m_horzBar, 1, 0);
    // The square between the two bars shows the box's face.
    setAutoFillBackground(true);
    SetBorderStyle(bsSingle);

    for (const TScrollBarKind kind : { sbHorizontal, sbVertical }) {
        QScrollBar *bar = &Bar(kind);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, kind](int action) { ScrollMessage(kind, CodeOfAction(action)); });
        connect(bar, &QAbstractSlider::sliderReleased, this,
            [this, kind] { ScrollMessage(kind, scThumbPosition); });
    }
    UpdateScrollBars();
    resize(185, 41);
}

TScrollBarBox::~TScrollBarBox() = default;

QScrollBar &TScrollBarBox::Bar(TScrollBarKind kind) const
{
    return kind == sbHorizontal ? *m_horzBar : *m_vertBar;
}

void TScrollBarBox::SetScrollBarOptions(const TScrollBarOptions &options)
{
    m_scrollBarOptions.Assign(options);
}

void TScrollBarBox::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    if (style == bsSingle) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(SunkenEdgeWidth);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void TScrollBarBox::UpdateScrollBars()
{
    m_horzScrollInfo.SetInfo();
    m_vertScrollInfo.SetInfo();
}

void TScrollBarBox::ScrollMessage(TScrollBarKind kind, TScrollCode code)
{
    TScrollBarInfo &info = kind == sbHorizontal ? m_horzScrollInfo : m_vertScrollInfo;
    info.ScrollMessage(code);
    const TNotifyEvent &handler = kind == sbHorizontal ? m_onHorzScroll : m_onVertScroll;
    if (handler)
        handler(*this);
}

bool TScrollBarBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && (watched == m_horzBar || watched == m_vertBar)) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPointF position = m_panel->mapFromGlobal(wheel->globalPosition());
        QWheelEvent forwarded(position, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
            wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(m_panel, &forwarded);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
