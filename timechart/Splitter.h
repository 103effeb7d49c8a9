#pragma once

#include <QSplitter>
#include <QSplitterHandle>
#include <functional>

// A splitter whose owner may change or refuse each size the user drags to: while
// a handle moves, the size proposed for the widget before it goes to OnCanResize,
// which may set another size or refuse the move. (A QSplitter moves on its own.)
class TSplitter : public QSplitter {
    Q_OBJECT
public:
    using TCanResizeEvent = std::function<void(TSplitter &sender, int &newSize, bool &accept)>;

    explicit TSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

    void SetOnCanResize(TCanResizeEvent handler) { FOnCanResize = std::move(handler); }
    // The smallest size the handlers keep for the widgets they guard.
    int MinSize() const { return FMinSize; }
    void SetMinSize(int size) { FMinSize = size; }

    // Moves handle `index` as a drag to `position` (in the splitter's pixels) would,
    // asking OnCanResize first.
    void DragHandleTo(int index, int position);
    // Gives the widget before handle `index` this size, as a drag there would.
    void SetSizeBefore(int index, int size);

protected:
    QSplitterHandle *createHandle() override;

private:
    TCanResizeEvent FOnCanResize;
    int FMinSize = 30;
};

// The handle that asks its splitter before moving.
class TSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    TSplitterHandle(Qt::Orientation orientation, TSplitter *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int Pick(QPoint p) const;

    int FMouseOffset = 0;
    bool FPressed = false;
};
