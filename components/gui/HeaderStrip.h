#pragma once

#include <QWidget>

class TGTHeader;

// The window of a tree's header: a strip in the scroll area's margin above the
// viewport that shows the header's painting and hands mouse input over it to
// the header (its coordinates are the header's).
class THeaderStrip : public QWidget {
    Q_OBJECT

public:
    THeaderStrip(TGTHeader &Header, QWidget &Parent);

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void leaveEvent(QEvent *Event) override;

private:
    void Forward(QMouseEvent *Event);

    TGTHeader &FHeader;
};
