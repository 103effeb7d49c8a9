#include "components/gui/StringEditLink.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/StringGridTree.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <exception>

namespace {

// The narrowest editor: room for a few characters however short the text.
constexpr int MinEditWidth = 30;
// Room around the text for the caret, so that it shows behind the last
// character when the text fills the editor; taken from the text margins.
constexpr int CaretRoom = 2;

// The tree behind a link while it is still a string tree (not while it is
// being destroyed).
TCustomStringGridTree *LiveTree(const QPointer<QObject> &Tree)
{
    return qobject_cast<TCustomStringGridTree *>(Tree.data());
}

} // namespace

// ---- the edit control ---------------------------------------------------------------------------

TGTEdit::TGTEdit(TStringEditLink *Link)
    : FLink(Link)
{
    hide();
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setToolTip(QString());
    document()->setDocumentMargin(CaretRoom);
    setTabChangesFocus(false);
    SetMultiline(false);
    connect(this, &QPlainTextEdit::textChanged, this, &TGTEdit::TextChanged);
}

TGTEdit::~TGTEdit()
{
    // Destroyed while the edit runs: an accepted change is kept.
    if (FLink && !FLink->FStopping) {
        TCustomStringGridTree *tree = LiveTree(FLink->FTree);
        if (tree && FLink->FNode && Modified()
            && tree->StringTreeOptions().StringOptions().contains(toAutoAcceptEditChange)) {
            try {
                tree->SetText(FLink->FNode, FLink->FColumn, toPlainText());
            } catch (const std::exception &Error) {
                qWarning("The edited text was not stored: %s", Error.what());
            }
        }
    }
    CutLinks();
}

void TGTEdit::SetMultiline(bool Value)
{
    FMultiline = Value;
    setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Value ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool TGTEdit::Modified() const
{
    return document()->isModified();
}

void TGTEdit::SetTextMargins(int Left, int Top, int Right, int Bottom)
{
    setViewportMargins(Left, Top, Right, Bottom);
}

void TGTEdit::CutLinks()
{
    FLink = nullptr;
    // The last holder of the link may be this control: it goes once the
    // control no longer names it (and then releases the control).
    TGTEditLinkPtr link = std::move(FRefLink);
}

void TGTEdit::Release()
{
    CutLinks();
    deleteLater();
}

void TGTEdit::AutoAdjustSize()
{
    if (!FLink || FMultiline)
        return;
    TCustomStringGridTree *tree = LiveTree(FLink->FTree);
    if (!tree)
        return;
    const int width = fontMetrics().horizontalAdvance(toPlainText()) + 2 * tree->TextMargin();
    const QRect bounds = geometry();
    // The editor shrinks: the text it uncovers is the tree's again.
    if (width < bounds.width() && FLink->FNode)
        tree->InvalidateNode(FLink->FNode);
    TRect r = FromQRect(bounds);
    if (FLink->FAlignment == taRightJustify)
        r.Left = r.Right - width;
    else
        r.Right = r.Left + width;
    FLink->PlaceEdit(r);
}

bool TGTEdit::FollowsText() const
{
    if (!FLink || FMultiline || FLink->FStopping)
        return false;
    TCustomStringGridTree *tree = LiveTree(FLink->FTree);
    return tree && !tree->TreeOptions().MiscOptions().contains(toGridExtensions);
}

void TGTEdit::TextChanged()
{
    if (FollowsText())
        AutoAdjustSize();
}

bool TGTEdit::event(QEvent *Event)
{
    // Every key is the editor's while it has the focus, shortcuts included.
    if (Event->type() == QEvent::ShortcutOverride) {
        Event->accept();
        return true;
    }
    return QPlainTextEdit::event(Event);
}

void TGTEdit::keyPressEvent(QKeyEvent *Event)
{
    const QPointer<TGridTreeView> tree = FLink ? LiveTree(FLink->FTree) : nullptr;
    try {
        switch (Event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A multi-line node takes a plain Return as a line break.
            if (FMultiline && !(Event->modifiers() & Qt::ControlModifier))
                break;
            if (tree && FLink && FLink->FNode)
                tree->InvalidateNode(FLink->FNode);
            if (tree && tree->DoEndEdit())
                tree->setFocus();
            return;
        case Qt::Key_Escape:
            if (tree) {
                tree->DoCancelEdit();
                tree->setFocus();
            }
            return;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!FMultiline) {
                QKeyEvent sideways(Event->type(), Event->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right,
                    Event->modifiers());
                QPlainTextEdit::keyPressEvent(&sideways);
                return;
            }
            break;
        default:
            break;
        }
    } catch (const std::exception &Error) {
        // The owner refused the text: the editor stays open with it.
        qWarning("The edited text was not stored: %s", Error.what());
        return;
    }
    QPlainTextEdit::keyPressEvent(Event);
}

void TGTEdit::focusOutEvent(QFocusEvent *Event)
{
    QPlainTextEdit::focusOutEvent(Event);
    // A popup or another window taking the focus leaves the edit running.
    if (Event->reason() == Qt::PopupFocusReason || Event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (!FLink || FLink->FStopping)
        return;
    const QPointer<TCustomStringGridTree> tree = LiveTree(FLink->FTree);
    if (!tree)
        return;
    try {
        if (tree->StringTreeOptions().StringOptions().contains(toAutoAcceptEditChange))
            tree->DoEndEdit();
        else
            tree->DoCancelEdit();
    } catch (const std::exception &Error) {
        qWarning("The edited text was not stored: %s", Error.what());
    }
}

// ---- the link --------------------------------------------------------------------------------------

TStringEditLink::TStringEditLink()
    : FEdit(new TGTEdit(this))
{ }

TStringEditLink::~TStringEditLink()
{
    if (TGTEdit *edit = FEdit)
        edit->Release();
}

TCustomStringGridTree *TStringEditLink::Tree() const
{
    return LiveTree(FTree);
}

bool TStringEditLink::PrepareEdit(TGridTreeView &Tree, TGridNode *Node, TColumnIndex Column)
{
    auto *tree = qobject_cast<TCustomStringGridTree *>(&Tree);
    if (!tree || !FEdit)
        return false;
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    // The control keeps its link alive.
    FEdit->FRefLink = shared_from_this();
    QFont font;
    QString text;
    tree->GetTextInfo(Node, Column, font, FTextBounds, text);
    FEdit->setFont(font);
    QPalette palette = FEdit->palette();
    palette.setColor(QPalette::Text, tree->palette().color(QPalette::WindowText));
    FEdit->setPalette(palette);
    FEdit->setParent(tree->viewport());
    FEdit->SetMultiline(Node->Has(vsMultiline));
    FEdit->setPlainText(text);
    FEdit->document()->setModified(false);
    const TGridTreeColumns &columns = tree->Header().Columns();
    const bool hasColumn = columns.IsValidColumn(Column);
    const TBiDiMode bidi = hasColumn ? columns[Column].BiDiMode() : tree->TreeBiDiMode();
    FAlignment = hasColumn ? columns[Column].Alignment() : tree->Alignment();
    if (bidi != bdLeftToRight && FAlignment != taCenter)
        FAlignment = FAlignment == taLeftJustify ? taRightJustify : taLeftJustify;
    FEdit->setLayoutDirection(bidi == bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
    return true;
}

bool TStringEditLink::BeginEdit()
{
    if (!FStopping && FEdit) {
        FEdit->show();
        FEdit->selectAll();
        FEdit->setFocus(Qt::OtherFocusReason);
    }
    return !FStopping;
}

bool TStringEditLink::EndEdit()
{
    if (FStopping)
        return false;
    FStopping = true;
    try {
        TCustomStringGridTree *tree = LiveTree(FTree);
        if (FEdit && FEdit->Modified() && tree && FNode)
            tree->SetText(FNode, FColumn, FEdit->toPlainText());
    } catch (...) {
        FStopping = false;
        throw;
    }
    if (FEdit) {
        FEdit->hide();
        FEdit->CutLinks();
    }
    return true;
}

bool TStringEditLink::CancelEdit()
{
    if (FStopping)
        return false;
    FStopping = true;
    if (FEdit)
        FEdit->hide();
    if (TCustomStringGridTree *tree = LiveTree(FTree))
        tree->CancelEditNode();
    if (FEdit)
        FEdit->CutLinks();
    return true;
}

TRect TStringEditLink::GetBounds() const
{
    return FEdit ? FromQRect(FEdit->geometry()) : TRect();
}

void TStringEditLink::ProcessMessage(QEvent *Message)
{
    if (FEdit)
        QCoreApplication::sendEvent(FEdit, Message);
}

void TStringEditLink::SetBounds(TRect R)
{
    PlaceEdit(R);
    // Wherever the cell goes, a changed text keeps the width it gave the editor.
    if (FEdit && FEdit->Modified() && FEdit->FollowsText())
        FEdit->AutoAdjustSize();
}

void TStringEditLink::PlaceEdit(TRect R)
{
    TCustomStringGridTree *tree = LiveTree(FTree);
    if (FStopping || !FEdit || !tree)
        return;
    R.Left = std::max(R.Left, 0);
    if (R.Width() < MinEditWidth) {
        if (FAlignment == taRightJustify)
            R.Left = R.Right - MinEditWidth;
        else
            R.Right = R.Left + MinEditWidth;
    }
    R.Right = std::min(R.Right, tree->ClientWidth());
    FEdit->setGeometry(ToQRect(R));
    // The text starts where the tree draws it: a text margin in from the
    // cell's content, and for one line at the height of the tree's text.
    const int inset = FEdit->frameWidth() + CaretRoom;
    const int side = std::max(0, tree->TextMargin() - inset);
    const int top = FEdit->Multiline() ? 0 : std::max(0, FTextBounds.Top - R.Top - inset);
    FEdit->SetTextMargins(side, top, side, 0);
}

// ---- the string tree's default editor ----------------------------------------------------------

TGTEditLinkPtr TCustomStringGridTree::DoCreateEditor(TGridNode *Node, TColumnIndex Column)
{
    TGTEditLinkPtr result = TGridTreeView::DoCreateEditor(Node, Column);
    if (!result)
        result = std::make_shared<TStringEditLink>();
    return result;
}
