#pragma once

#include <QDialog>
#include <QListWidget>

class TCanvasPanel;

// A list that draws its own items, all of one height: each item's rectangle is
// filled (the selection colour when selected, else the list's colour) and its text
// written 2 pixels in from the left, at the top.
class TOwnerDrawList : public QListWidget {
    Q_OBJECT
public:
    explicit TOwnerDrawList(QWidget *parent = nullptr);

    int ItemHeight() const;
    // The item at the top of the view (0 when the list is empty).
    int TopIndex() const;
    // The selected item, -1 when none.
    int ItemIndex() const { return currentRow(); }
};

// Shows the column roles beside a second list and a line between the entries
// selected in the two. It changes nothing.
class TReorderEntriesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TReorderEntriesDialog(QWidget *parent = nullptr);

    TOwnerDrawList *connection() const { return FConnection; }
    TOwnerDrawList *selectedconnection() const { return FSelected; }
    TCanvasPanel *CanvasPanel1() const { return FCanvas; }

    // The middle of item `itemIndex` of `list` in the list's client coordinates.
    static int RowMiddle(const TOwnerDrawList &list);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
    void PaintBox1Paint(QPainter &canvas);

    TOwnerDrawList *FConnection;
    TCanvasPanel *FCanvas;
    TOwnerDrawList *FSelected;
};
