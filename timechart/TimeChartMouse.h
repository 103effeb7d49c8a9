#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Rect.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <vector>

class Document;
class ITimeChartHost;
class QKeyEvent;
class QMouseEvent;
class TTimeChart;

// What the mouse is doing on the chart.
enum TTimeChartMouseState : int {
    msNone,
    msScroll, // right drag: the view follows the pointer
    msNewItem, // left drag on empty rows: a band for a new row
    msMoveItem, // left drag on a bar: the selection moves
    msSelectItem, // Shift + left drag: a rubber band selects
    msPopup, // right button down, not yet dragged
    msPoppedUp, // the popup menu is open
    msResizeItem, // left drag on a bar's edge: a band for the bar's new extent
};

// Editing the chart with the mouse: creating rows by drawing a band, moving the
// selected bars by whole days (or minutes) and rows, resizing a bar at its edges,
// selecting by a rubber band, scrolling by a right drag, the popup menu, and
// moving the selection into another position group by holding it over the
// group's tab. While no button is down, the hover pass keeps the chart's hint
// and cursor in step with what lies under the pointer.
//
// Each gesture is one undo group. Rows are held by their IDs: a row another user
// deletes meanwhile ends the gesture.
class TTimeChartMouse : public QObject {
    Q_OBJECT
public:
    TTimeChartMouse(TTimeChart &chart, Document &doc, ITimeChartHost &host);
    ~TTimeChartMouse() override;

    // The chart panel's events.
    void TimeChartMouseDown(QMouseEvent &event);
    void TimeChartMouseMove(QMouseEvent &event);
    void TimeChartMouseUp(QMouseEvent &event);
    void TimeChartKeyDown(QKeyEvent &event);
    void TimeChartKeyUp(QKeyEvent &event);
    // The hover pass: the record or label under the pointer, the hint and the
    // cursor. The chart runs it on the next turn of the event loop after the
    // pointer moved; the main window's idle tick may run it too.
    void UpdateTimeChartHint();
    // Holding dragged bars over another position-group tab: nine ticks of 60 ms
    // with a countdown cursor, then the selection moves into that group.
    QTimer &TimeChartChangeGroupTimer() { return FChangeGroupTimer; }
    void TimeChartChangeGroupTimerTimer();

    TTimeChartMouseState State() const { return FTimeChartMouseState; }
    // The record under the pointer found by the hover pass (or being dragged);
    // null when none, or when it was deleted meanwhile.
    TNodeData *GrabbedNode() const;
    int GrabbedPosition() const { return FGrabbedPosition; }
    // The chart's hint text as the hover pass set it ("\r" between lines).
    const QString &Hint() const { return FHint; }
    // The chart's own cursor as the hover pass set it (a TCursorId).
    int ChartCursor() const { return FChartCursor; }
    // The last pointer position the chart saw (the band's other corner while one
    // is drawn).
    QPoint LastMouse() const { return FLastMouse; }
    // Whether the Shift key was down at the last input the chart saw.
    bool ShiftHeld() const { return FShiftHeld; }
    // The pointer's position in the chart as the gesture sees it: where the
    // pointer would be had it ridden along with a scroll that moved the bar under it.
    QPoint GesturePoint(QPoint point) const { return point + FPointerShift; }
    // The view scrolled while bars are moved: the bar under the pointer moved
    // on the screen by `shift`, and the pointer goes along with it.
    void RideAlong(QPoint shift);

private:
    enum class TGrip { None, Move, ResizeLeft, ResizeRight };

    void Move(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void MoveItems(QPoint point);
    void DragBand(QPoint point);
    void SelectByBand(QPoint point);
    void PickTabUnderPointer();
    void ApplyBand(TNodeData *grabbed);
    void OpenPopup(QPoint point, QPoint screenPos);
    // Ends the running gesture: band erased, undo group closed, state none.
    void EndGesture();
    void StartUndoGroup();
    void SetBand(bool shown, QPoint from, QPoint to);
    void InvalidateBand();
    void SetChartCursor(int id);
    void SetHint(const QString &hint);
    QString RecordHint(const TNodeData &node) const;
    QString PositionHint(int row) const;
    QString HolidayHintAt(QPoint point) const;
    // The record of either table under `point`, active table first, with whether
    // it is filtered out.
    TNodeData *RecordAt(QPoint point, bool &hidden) const;
    std::vector<TNodeData *> Selected(TWhichTable table) const;
    void SetSelected(TNodeData &node, bool selected);
    void ClearSelection(TWhichTable table);
    int RowAt(int y) const;

    TTimeChart &FChart;
    Document &FDoc;
    ITimeChartHost &FHost;

    TTimeChartMouseState FTimeChartMouseState = msNone;
    QString FGrabbedID;
    TWhichTable FGrabbedTable = tbTable;
    int FGrabbedPosition = -1;
    TGrip FGrip = TGrip::None;
    QPoint FMouse;
    QPoint FMouseWhenDown;
    // Where the button went down, as the pointer was.
    QPoint FPressPoint;
    QPoint FLastMouse;
    TDateTime FDateRef = 0;
    TDateTime FTimeChartStartOnMouseDown = 0;
    int FTimeChartTopOnMouseDown = 0;
    int FUndoGroup = -1;
    // The pointer moved since the press: a band of a new or resized row counts.
    bool FBandDragged = false;
    QPoint FPointerShift;
    QPoint FLastGlobal;
    bool FShiftHeld = false;
    QString FHint;
    int FChartCursor = 0;
    bool FHoverPending = false;
    QTimer FChangeGroupTimer;
    int FChangeGroupTag = 0;
};
