#pragma once

#include "platform/gui/ControlTypes.h"

#include <QFrame>
#include <functional>

class QScrollBar;
class TCanvasPanel;
class TScrollBarBox;

enum TScrollBarStyle : int { sbmRegular, sbmFlat, sbm3D };

// The scroll requests a bar reports (line, page, thumb, ends).
enum TScrollCode : int {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scThumbPosition,
    scThumbTrack,
    scTop,
    scBottom,
    scEndScroll,
};

// Which bars a scroll-bar box shows, and their look. (The tree-grid control has
// options of the same name: each lives in its own namespace.)
namespace chartbox {
class TScrollBarOptions {
public:
    explicit TScrollBarOptions(TScrollBarBox &owner);
    TScrollBarOptions(const TScrollBarOptions &) = delete;
    TScrollBarOptions &operator=(const TScrollBarOptions &) = delete;

    void Assign(const TScrollBarOptions &source);
    TScrollBarBox &GetOwner() const { return m_owner; }

    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle value);
    TScrollBarStyle ScrollBarStyle() const { return m_scrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle value);

    bool Shows(TScrollBarKind kind) const;

private:
    TScrollBarBox &m_owner;
    TScrollStyle m_scrollBars = ssBoth;
    TScrollBarStyle m_scrollBarStyle = sbmRegular;
};
} // namespace chartbox

// The state of one bar: range Min..Max of which Page units are visible, so the
// position runs from Min to Max - Page. The bar on the screen mirrors it.
class TScrollBarInfo {
public:
    TScrollBarInfo(TScrollBarBox &owner, TScrollBarKind kind);
    TScrollBarInfo(const TScrollBarInfo &) = delete;
    TScrollBarInfo &operator=(const TScrollBarInfo &) = delete;

    void Assign(const TScrollBarInfo &source);
    TScrollBarBox &GetOwner() const { return m_owner; }

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Page() const { return m_page; }
    int Pos() const { return m_pos; }
    int TrackPos() const { return m_trackPos; }
    TScrollBarKind Kind() const { return m_kind; }

    // Reads the position and the tracked thumb position back from the bar.
    void GetInfo();
    // Writes range, page and position to the bar (when it is shown; the position is
    // held inside the range like the bar holds it) and shows or hides the bar.
    void SetInfo();
    void SetAll(int min, int max, int page, int pos);
    void SetPos(int pos);
    // Moves the position as the request asks: lines by 1, pages by Page, the
    // thumb to where it was dragged, the ends to Min and Max - Page.
    void ScrollMessage(TScrollCode code);

private:
    TScrollBarBox &m_owner;
    TScrollBarKind m_kind;
    int m_min = 0;
    int m_max = 0;
    int m_page = 0;
    int m_pos = 0;
    int m_trackPos = 0;
};

// A sunken frame holding a canvas panel with a horizontal bar below it and a
// vertical bar right of it. The panel is what the owner paints; its size is the
// client area inside the bars. Scroll input on a bar goes to the bar's info, then
// to the OnHorzScroll / OnVertScroll handler; the wheel over a bar counts as the
// wheel over the panel.
class TScrollBarBox : public QFrame {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TScrollBarBox &sender)>;
    using TScrollBarOptions = chartbox::TScrollBarOptions;

    explicit TScrollBarBox(QWidget *parent = nullptr);
    ~TScrollBarBox() override;

    TCanvasPanel &Panel() const { return *m_panel; }
    QScrollBar &Bar(TScrollBarKind kind) const;

    TScrollBarInfo &HorzScrollInfo() { return m_horzScrollInfo; }
    TScrollBarInfo &VertScrollInfo() { return m_vertScrollInfo; }
    const TScrollBarOptions &ScrollBarOptions() const { return m_scrollBarOptions; }
    void SetScrollBarOptions(const TScrollBarOptions &options);
    // Changes which bars show (through the options) and their look.
    TScrollBarOptions &ScrollBarOptions() { return m_scrollBarOptions; }

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    void SetOnHorzScroll(TNotifyEvent handler) { m_onHorzScroll = std::move(handler); }
    void SetOnVertScroll(TNotifyEvent handler) { m_onVertScroll = std::move(handler); }

    // Shows the bars the options ask for with their infos' state.
    void UpdateScrollBars();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ScrollMessage(TScrollBarKind kind, TScrollCode code);

    TCanvasPanel *m_panel;
    QScrollBar *m_horzBar;
    QScrollBar *m_vertBar;
    TBorderStyle m_borderStyle = bsSingle;
    TScrollBarOptions m_scrollBarOptions;
    TScrollBarInfo m_horzScrollInfo;
    TScrollBarInfo m_vertScrollInfo;
    TNotifyEvent m_onHorzScroll;
    TNotifyEvent m_onVertScroll;
};
