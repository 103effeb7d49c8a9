#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"

#include <QLabel>
#include <QPoint>
#include <functional>

class QMimeData;

// The colours of the role shapes: unselected, bound to the column selected in
// the list, and a role that still needs a (single) column.
inline constexpr TColor clRoleShape = 0x978762;
inline constexpr TColor clRoleShapeSelected = 0xE0CA92;
inline constexpr TColor clRoleShapeInvalid = 0x7362D6;

// The format of a column dragged in the table dialog, from its list or from a
// role label. The dialog keeps what is dragged; the data only marks the drag
// as one of ours.
inline constexpr const char *kSetupColumnMimeType = "application/x-zeltrano-setup-column";

// The filled rectangle behind a role label (black frame, brush colour).
class TRoleShape : public QWidget {
    Q_OBJECT

public:
    explicit TRoleShape(QWidget *parent = nullptr);

    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor FBrushColor = clRoleShape;
};

// A role of the bar picture: shows the caption of the column bound to it.
// Columns are dragged onto it and from it, and its context menu binds one.
class TRoleLabel : public QLabel {
    Q_OBJECT

public:
    TRoleLabel(TConnection role, QWidget *parent = nullptr);

    TConnection Role() const { return FRole; }

    // A drag may start from the label.
    std::function<void(TRoleLabel &)> OnStartDrag;
    // Whether a drag of ours may drop here.
    std::function<bool(TRoleLabel &)> OnDragOver;
    std::function<void(TRoleLabel &)> OnDragDrop;
    std::function<void(TRoleLabel &)> OnMouseMove;
    std::function<void(TRoleLabel &, QPoint globalPos)> OnContextPopup;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool Accepts(const QMimeData *mime);

    TConnection FRole;
    QPoint FPressPos;
    bool FPressed = false;
};
