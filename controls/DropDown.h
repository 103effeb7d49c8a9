#pragma once

#include "platform/gui/Rect.h"

#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

class QEventLoop;
class TRollDownCurtain;

enum TDropDownPosition { ddpBelow, ddpAbove };
enum TDropDownState { ddsHidden = 0x1, ddsExpanding = 0x2, ddsShown = 0x4 };
Q_DECLARE_FLAGS(TDropDownStates, TDropDownState)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDropDownStates)

// A borderless popup that rolls down below a point (or up above it), runs its own
// event loop until the user picks something, presses Escape or clicks elsewhere,
// and then returns to its caller, much like a combo box's list. The rest of the
// program keeps painting meanwhile. Subclasses put their controls into
// contentsRect() (inside the one-pixel border).
class TfmDropDown : public QWidget {
    Q_OBJECT
public:
    explicit TfmDropDown(QWidget *Owner = nullptr);
    ~TfmDropDown() override;

    // Shows the popup at the screen point (X, Y) with the given size (-1 keeps the
    // current one) and returns when it has closed. It opens above the point when
    // it would pass the work area's bottom, and is moved left to stay on the work
    // area. The modal result starts at mrNone. EControlError without ParentForm.
    void RollDownForm(QWidget *ParentForm, int X, int Height, int Width, int Y);
    // Ends the popup's loop; close() does the same.
    void CloseDropDown();

    // What the popup was closed with (mrOk, mrCancel; mrNone for a click elsewhere).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    int AnimationResolution() const { return FAnimationResolution; }
    void SetAnimationResolution(int Steps);
    int RollDownSpeed() const { return FRollDownSpeed; }
    void SetRollDownSpeed(int Milliseconds) { FRollDownSpeed = Milliseconds; }
    bool AnimateDropDown() const { return FAnimateDropDown; }
    void SetAnimateDropDown(bool Value) { FAnimateDropDown = Value; }
    bool Sizable() const { return FSizable; }
    void SetSizable(bool Value) { FSizable = Value; }
    TDropDownPosition DropDownPosition() const { return FDropDownPosition; }
    TDropDownStates DropDownState() const { return FDropDownState; }
    bool RolledDownOnce() const { return FRolledDownOnce; }
    // The part of the popup uncovered so far (all of it once it has rolled in).
    QRect RolledInRect() const;

protected:
    // Escape anywhere in the popup.
    virtual void KeyEscape();

    void closeEvent(QCloseEvent *Event) override;
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    // The free edges under a point of the popup that a drag resizes.
    Qt::Edges ResizeZoneAt(QPoint Pos) const;
    void ResizeTo(QPoint GlobalPos);
    void AnimateForm(bool Upward);
    void AnimationStep();
    void FinishAnimation();
    void EndLoop();

    int FAnimationResolution = 16;
    int FRollDownSpeed = 10;
    bool FAnimateDropDown = true;
    bool FSizable = true;
    TDropDownPosition FDropDownPosition = ddpBelow;
    TDropDownStates FDropDownState = ddsHidden;
    bool FLButtonDown = false;
    Qt::Edges FCurrentNCHitCode;
    bool FRolledDownOnce = false;
    int FModalResult = 0;
    QEventLoop *FLoop = nullptr;

    // The roll-down: a picture of the popup uncovered strip by strip.
    TRollDownCurtain *FCurtain;
    QTimer FAnimationTimer;
    bool FAnimateUpward = false;
    int FAnimationStep = 0;
    int FAnimationSteps = 0;
    int FAnimationStepPixels = 1;
    QRect FRolledIn;

    // A resize the popup does itself where the window system cannot.
    bool FOwnResize = false;
    QPoint FResizeStart;
    TRect FResizeGeometry;
};
