#pragma once

#include "dialogs/menus/ControlKinds.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class TFlatMenu;

// One standard control taken over by a flat-look component: the control keeps
// handling its events; this record watches them for the hot, pressed and focused
// state and has the control repainted in the component's style when that state
// changes. The first event the control gets after the component turned inactive
// ends the take-over and gives the control its own style back.
class TControlSubClass : public QObject {
    Q_OBJECT

public:
    TControlSubClass(TFlatMenu *flatMenu, QWidget *control, TFlatControl kind);
    ~TControlSubClass() override;

    // The record that has taken `control` over, if any (of whichever component).
    static TControlSubClass *Of(const QWidget *control);

    QWidget *Control() const { return FControl; }
    TFlatMenu *FlatMenu() const { return FFlatMenu; }
    TFlatControl Kind() const { return FKind; }
    // Hot: the mouse is over the control or the control has the focus.
    bool MouseInControl() const { return FMouseInControl; }
    bool LButtonPressed() const { return FLButtonBressed; }
    bool SpacePressed() const { return FBressed; }
    bool IsFocused() const;
    // Whether the control had a border of its own when it was taken over.
    bool HadBorder() const { return FBorder; }

    // Where a spin box's up and down buttons lie together.
    static QRect UpDownButtonsRect(const QWidget &spinBox);

    // Ends the take-over now: the control's own style back, the record gone.
    void End();
    // Continues under another component (its style replaces the old one).
    void MoveTo(TFlatMenu *flatMenu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Paint();
    void CheckChanged();
    // 0 the upper, 1 the lower half of a spin box's buttons is hot; -1 neither.
    int HotHalf() const;

    QPointer<QWidget> FControl;
    TFlatMenu *FFlatMenu;
    TFlatControl FKind;
    bool FMouseInControl = false;
    bool FLButtonBressed = false;
    bool FBressed = false;
    bool FIsKeyDown = false;
    bool FBorder = true;
    int FHotHalf = -1;
    bool FEnded = false;
};
