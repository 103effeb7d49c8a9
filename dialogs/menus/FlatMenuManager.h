#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class TFlatMenu;

// The one manager of all flat-look components: it exists while at least one
// component does. The first active component registered becomes the working one;
// it hooks the menus (and controls) of every window on the screen and of every
// window shown later, except windows whose `Tag` is 999.
class TFlatMenuManager : public QObject {
    Q_OBJECT

public:
    // Null while no component exists.
    static TFlatMenuManager *Instance();
    static void Acquire();
    static void Release();

    void Register(TFlatMenu *component);
    // A component going away hands its taken-over controls (those not on its own
    // window) to the next active component, or gives them their own look back.
    void Unregister(TFlatMenu *component);
    void ActiveChanged(TFlatMenu *component);
    TFlatMenu *WorkingComponent() const;
    // Ends the take-over of every control of the working component on `form`.
    void RemoveChildSubclassing(QWidget *form);
    // Hands a menu item made at run time (with `recursive`, also its sub-items) to
    // the working component, so that it takes the flat look; nothing while no
    // component works.
    static void ActivateMenuItem(QAction *item, bool recursive);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TFlatMenuManager();
    ~TFlatMenuManager() override;
    static bool IsForm(const QWidget *widget);
    void SetWorking(TFlatMenu *component);
    void HookForm(QWidget *form);
    void HookPopup(QMenu *menu);
    void Collect(QWidget *form);
    static void EndTakeOvers(const TFlatMenu &component, const QWidget *form);

    QList<QPointer<TFlatMenu>> FComponents;
    QPointer<TFlatMenu> FWorking;
    QList<QPointer<QWidget>> FForms; // every window seen
    QList<QPointer<QWidget>> FHandled; // windows whose menus are hooked
};
