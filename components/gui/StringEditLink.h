#pragma once

#include "components/gui/GTEditLink.h"

#include <QPlainTextEdit>
#include <QPointer>

class TCustomStringGridTree;
class TStringEditLink;

// The string tree's edit control: one line (no wrapping, no scroll bars) or,
// for multi-line nodes, wrapped lines with a vertical scroll bar. Return ends
// the edit (Ctrl+Return for multi-line nodes), Escape cancels it, losing the
// focus ends or cancels it as toAutoAcceptEditChange says.
class TGTEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TGTEdit(TStringEditLink *Link);
    ~TGTEdit() override;

    bool Multiline() const { return FMultiline; }
    void SetMultiline(bool Value);
    bool Modified() const;
    // Space between the control's edges and the text.
    void SetTextMargins(int Left, int Top, int Right, int Bottom);
    // One line follows its text: the width of the text plus the tree's text
    // margins, through the link's bounds (so their limits hold).
    void AutoAdjustSize();
    // Frees the control once the events in hand are done.
    void Release();

private:
    friend class TStringEditLink;

    void keyPressEvent(QKeyEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;
    bool event(QEvent *Event) override;
    // One line without grid extensions: the width follows the text.
    bool FollowsText() const;
    void TextChanged();
    // The link lets go of the control and the control of its link.
    void CutLinks();

    TGTEditLinkPtr FRefLink;
    TStringEditLink *FLink;
    bool FMultiline = false;
};

// The string tree's editor: a TGTEdit over the cell's text, storing the text
// through the tree's text setter (OnNewText) when it was changed.
class TStringEditLink : public IGTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TGridTreeView &Tree, TGridNode *Node, TColumnIndex Column) override;
    TRect GetBounds() const override;
    void ProcessMessage(QEvent *Message) override;
    void SetBounds(TRect R) override;

    TGTEdit *Edit() const { return FEdit; }
    // The tree edited in (nil once it is gone or going).
    TCustomStringGridTree *Tree() const;
    TGridNode *Node() const { return FNode; }
    TColumnIndex Column() const { return FColumn; }
    TAlignment Alignment() const { return FAlignment; }
    bool Stopping() const { return FStopping; }

private:
    friend class TGTEdit;

    // SetBounds without following the text: R within the limits.
    void PlaceEdit(TRect R);

    QPointer<TGTEdit> FEdit;
    QPointer<QObject> FTree;
    TGridNode *FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    TRect FTextBounds;
    bool FStopping = false;
};
