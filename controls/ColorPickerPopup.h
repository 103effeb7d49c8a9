#pragma once

#include "controls/ColorPickerGeometry.h"
#include "controls/ColorPickerPainter.h"

#include <QImage>
#include <QWidget>
#include <optional>

class QEventLoop;

// The colour picker: a borderless popup with a grid of named colours, optionally
// the system colours, and a mix area (colour comb, black-and-white comb and
// brightness slider) that opens from its caption. Made once and shown again for
// every pick.
class TColorPickerPopup : public QWidget {
    Q_OBJECT

public:
    enum TSelectionMode { smNone, smColor, smBW, smRamp };

    explicit TColorPickerPopup(QWidget *parent = nullptr);
    ~TColorPickerPopup() override;

    // Shows the picker below (or above) `screenRect`, in screen pixels, with `current`
    // selected, and waits for the user: the chosen colour, or nothing when the user
    // cancels (Escape, a click outside). A system colour comes back as its reference.
    std::optional<TColor> Pick(TColor current, const TRect &screenRect);

    // The steps of Pick, for callers that drive the popup themselves.
    void SetSelectionColor(TColor color);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetDestRect(const TRect &screenRect) { DestRect = screenRect; }
    // Opens the popup without waiting; the result is mrNone until the user ends.
    void Popup();
    // Opens the popup and waits: mrOk or mrCancel.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void ShowPopupAligned();
    void EndSelection(bool cancelled);

    // The system colours are an option of the picker, off unless switched on.
    void SetShowSysColors(bool show);

    int SelectedIndex() const { return FSelectedIndex; }
    int HoverIndex() const { return FHoverIndex; }
    int CustomIndex() const { return FCustomIndex; }
    const TColorPickerGeometry &Geometry() const { return FGeometry; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormActivate();
    void AdjustWindow();
    QFont PickerFont() const;
    TColorPickerState State() const;
    void InvalidateCell(int index);
    void ChangeHoverSelection(int index);
    void ChangeSelection(int index);
    void HandleCustomColors(QPoint p);

    TColorPickerGeometry FGeometry;
    QString FDefaultText;
    QString FCustomText;
    bool FShowSysColors = false;
    int FSelectedIndex = TColorPickerGeometry::NoCell;
    int FHoverIndex = TColorPickerGeometry::NoCell;
    int FCustomIndex = 0;
    bool FLeftButtonDown = false;
    TSelectionMode FSelectionMode = smNone;
    TColor FSelectionColor = 0;
    TRect DestRect;
    int FModalResult = 0;
    QEventLoop *FLoop = nullptr;
    QImage FBackBuffer;
};
