#pragma once

#include "components/gui/ColumnTypes.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class TGridNode;
class TGridTreeView;

// Which hints a tree shows over its nodes: the control's own hint as any
// control does, the owner's node hints, both, or a clipped cell's full text.
enum TGTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum TGTHintLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };

// What a tree hands its hint window.
struct TGTHintData {
    QPointer<TGridTreeView> Tree;
    TGridNode *Node = nullptr;
    TColumnIndex Column = NoColumn;
    // A draw tree's hint size.
    TRect HintRect;
    // Shown instead of a node's text: a header column's hint or the control's.
    QString DefaultHint;
    QString HintText;
    TBiDiMode BidiMode = bdLeftToRight;
    TAlignment Alignment = taLeftJustify;
    TGTHintLineBreakStyle LineBreakStyle = hlbDefault;
};

// The tree's hint window: a frameless tool window that paints the hint
// itself (a black frame on the info colour) and may fade in (its opacity
// stepped) or slide in (the hint's lowest lines revealed first). It takes no
// input, so a tooltip lying over the cell it shows leaves the mouse to the tree.
class TGridTreeHintWindow : public QWidget {
    Q_OBJECT

public:
    explicit TGridTreeHintWindow(QWidget *Owner);
    ~TGridTreeHintWindow() override;

    const TGTHintData &HintData() const { return FHintData; }
    // The window's rectangle for the hint, relative to where it is shown
    // (empty: no hint); takes Data over.
    TRect CalcHintRect(int MaxWidth, const QString &Hint, const TGTHintData &Data);
    // Shows the hint in Rect (screen coordinates, kept on the screen), animated
    // as the tree says; an empty Rect hides the window.
    void ActivateHint(TRect Rect, const QString &Hint);
    // One step of the animation (0, 0: the whole hint); false stops it.
    bool AnimationCallback(int Step, int StepSize);
    // Paints the hint into the draw buffer and shows the part Step reveals.
    void InternalPaint(int Step, int StepSize);
    // The painted hint.
    const QImage &DrawBuffer() const { return FDrawBuffer; }
    // Lines of the hint revealed from the top while sliding (-1: all).
    int RevealedLines() const { return FRevealed; }
    void HideHint();

protected:
    void paintEvent(QPaintEvent *Event) override;
    bool event(QEvent *Event) override;

private:
    // Lets the mouse through the shown window to the tree beneath.
    void PassMouseThrough();
    // The text of the hint (the default hint, a tooltip's cell text or the
    // owner's node hint) and the font it shows in.
    QString HintTextFor(TGridTreeView &Tree, QFont &Font);

    TGTHintData FHintData;
    QImage FDrawBuffer;
    int FTextHeight = 0;
    int FRevealed = -1;
    bool FCancelAnimation = false;
};
