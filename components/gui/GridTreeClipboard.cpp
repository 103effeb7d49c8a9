// Cut, copy and paste of whole nodes, and the data a tree renders for the
// clipboard and for drags.
#include "components/StreamIO.h"
#include "components/gui/GTDataObject.h"
#include "components/gui/GridTreeView.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>
#include <algorithm>

using namespace GridTreeTexts;

namespace {

constexpr const char *ClipboardFailed = "Clipboard operation failed.";
constexpr int ClipboardFailedHelpContext = 2007;

// Every tree that gave itself a number, by number - 1 (nil once it is gone).
std::vector<QPointer<TGridTreeView>> &NumberedTrees()
{
    static std::vector<QPointer<TGridTreeView>> trees;
    return trees;
}

QString TreeDataMimeType()
{
    return ClipboardFormatMimeType(RegisterClipboardFormat(QLatin1String(CFSTR_GRIDTREE)));
}

// The first node after Node's subtree in tree order.
TGridNode *NextOutsideSubtree(TGridNode *Node)
{
    for (TGridNode *n = Node; n && !n->IsRoot(); n = n->Parent())
        if (n->NextSibling())
            return n->NextSibling();
    return nullptr;
}

} // namespace

TClipboardFormats &TGridTreeView::ClipboardFormats() const
{
    if (!FClipboardFormats)
        FClipboardFormats = std::make_unique<TClipboardFormats>(*this);
    return *FClipboardFormats;
}

void TGridTreeView::SetClipboardFormats(const QStringList &Value)
{
    ClipboardFormats().Assign(Value);
}

uint32_t TGridTreeView::TreeNumber() const
{
    if (FTreeNumber == 0) {
        NumberedTrees().emplace_back(const_cast<TGridTreeView *>(this));
        FTreeNumber = uint32_t(NumberedTrees().size());
    }
    return FTreeNumber;
}

TGridTreeView *TGridTreeView::GetTreeFromDataObject(const QMimeData *DataObject)
{
    if (!DataObject)
        return nullptr;
    const QByteArray block = DataObject->data(TGTDataObject::ReferenceMimeType());
    if (block.size() < 8)
        return nullptr;
    if (qFromLittleEndian<uint32_t>(block.constData()) != uint32_t(QCoreApplication::applicationPid()))
        return nullptr;
    const uint32_t number = qFromLittleEndian<uint32_t>(block.constData() + 4);
    const std::vector<QPointer<TGridTreeView>> &trees = NumberedTrees();
    if (number == 0 || number > trees.size())
        return nullptr;
    return trees[number - 1];
}

void TGridTreeView::GetNativeClipboardFormats(TFormatList &Formats)
{
    EnumerateFormats(metaObject(), Formats, &ClipboardFormats().Items());
    DoGetUserClipboardFormats(Formats);
}

void TGridTreeView::DoGetUserClipboardFormats(TFormatList &Formats)
{
    if (OnGetUserClipboardFormats)
        OnGetUserClipboardFormats(*this, Formats);
}

QMimeData *TGridTreeView::DoCreateDataObject()
{
    QMimeData *mime = nullptr;
    if (OnCreateDataObject)
        OnCreateDataObject(*this, mime);
    return mime ? mime : new TGTDataObject(this, false);
}

bool TGridTreeView::RenderOLEData(const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard)
{
    Data.clear();
    if (Format.Format == RegisterClipboardFormat(QLatin1String(CFSTR_GRIDTREE))) {
        if (!FTree)
            return false;
        const TNodeArray nodes = ForClipboard ? GetSortedCutCopySet(true) : FTree->GetSortedSelection(true);
        if (nodes.empty())
            return false;
        Data = FTree->WriteNodeBlock(nodes);
        return true;
    }
    return DoRenderOLEData(Format, Data, ForClipboard);
}

bool TGridTreeView::DoRenderOLEData(const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard)
{
    bool handled = false;
    if (OnRenderOLEData)
        OnRenderOLEData(*this, Format, Data, ForClipboard, handled);
    return handled;
}

// ---- cut and copy ---------------------------------------------------------------------------------

void TGridTreeView::CopyToClipboard()
{
    if (!FTree || FTree->SelectedCount() == 0)
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!FWatchingClipboard) {
        FWatchingClipboard = true;
        // Our data leaving the clipboard takes the marks with it.
        connect(clipboard, &QClipboard::dataChanged, this, [this] {
            const auto *mime = qobject_cast<const TGTDataObject *>(QGuiApplication::clipboard()->mimeData());
            if (!mime || mime->Owner() != this)
                CancelCutOrCopy();
        });
    }
    auto *mime = new TGTDataObject(this, true);
    clipboard->setMimeData(mime);
    if (clipboard->mimeData() != mime)
        return;
    MarkCutCopyNodes();
    DoViewStateChange({ tsCopyPending });
    InvalidateTree();
}

void TGridTreeView::CutToClipboard()
{
    if (!FTree || FTree->MiscOptions().contains(toReadOnly))
        return;
    CopyToClipboard();
    if (FViewStates.contains(tsCopyPending))
        DoViewStateChange({ tsCutPending }, { tsCopyPending });
}

void TGridTreeView::MarkCutCopyNodes()
{
    if (!FTree)
        return;
    for (TGridNode *node : FTree->GetSortedSelection(false))
        if (!node->Has(vsDisabled))
            FTree->SetCutCopyMark(node, true);
}

void TGridTreeView::CancelCutOrCopy()
{
    if (FTree && (FViewStates.contains(tsCutPending) || FViewStates.contains(tsCopyPending))) {
        for (TGridNode *node = FTree->GetFirstNoInit(); node; node = FTree->GetNextNoInit(node))
            FTree->SetCutCopyMark(node, false);
        InvalidateTree();
    }
    DoViewStateChange({}, { tsCutPending, tsCopyPending });
}

void TGridTreeView::FinishCutOrCopy()
{
    if (!FViewStates.contains(tsCutPending))
        return;
    if (FTree) {
        FTree->BeginUpdate();
        for (TGridNode *node = FTree->GetFirstNoInit(); node;) {
            if (node->Has(vsCutOrCopy)) {
                TGridNode *next = NextOutsideSubtree(node);
                FTree->DeleteNode(node);
                node = next;
            } else {
                node = FTree->GetNextNoInit(node);
            }
        }
        FTree->EndUpdate();
    }
    DoViewStateChange({}, { tsCutPending });
}

void TGridTreeView::ReleaseClipboard()
{
    if (!FViewStates.contains(tsCutPending) && !FViewStates.contains(tsCopyPending))
        return;
    DoViewStateChange({}, { tsCutPending, tsCopyPending });
    if (QGuiApplication::instance()) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        const auto *mime = qobject_cast<const TGTDataObject *>(clipboard->mimeData());
        if (mime && mime->Owner() == this)
            clipboard->clear();
    }
}

TGridNode *TGridTreeView::GetFirstCutCopy(bool ConsiderChildrenAbove)
{
    return GetNextCutCopy(nullptr, ConsiderChildrenAbove);
}

TGridNode *TGridTreeView::GetNextCutCopy(TGridNode *Node, bool ConsiderChildrenAbove)
{
    if (!FTree || (!FViewStates.contains(tsCutPending) && !FViewStates.contains(tsCopyPending)))
        return nullptr;
    TGridNode *node = Node == nullptr || Node == FTree->RootNode()
        ? FTree->GetFirstNoInit(ConsiderChildrenAbove)
        : FTree->GetNextNoInit(Node, ConsiderChildrenAbove);
    while (node && !node->Has(vsCutOrCopy))
        node = FTree->GetNextNoInit(node, ConsiderChildrenAbove);
    if (node && !node->Has(vsInitialized))
        FTree->ValidateNode(node, false);
    return node;
}

TNodeArray TGridTreeView::GetSortedCutCopySet(bool Resolve)
{
    TNodeArray result;
    if (!FTree || (!FViewStates.contains(tsCutPending) && !FViewStates.contains(tsCopyPending)))
        return result;
    for (TGridNode *node = FTree->GetFirstNoInit(); node;) {
        if (node->Has(vsCutOrCopy)) {
            result.push_back(node);
            // What lies below it goes with it.
            if (Resolve) {
                node = NextOutsideSubtree(node);
                continue;
            }
        }
        node = FTree->GetNextNoInit(node);
    }
    return result;
}

// ---- paste -------------------------------------------------------------------------------------------

bool TGridTreeView::PasteFromClipboard()
{
    if (!FTree || FTree->MiscOptions().contains(toReadOnly))
        return false;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        ShowError(QString::fromLatin1(ClipboardFailed), ClipboardFailedHelpContext);
    TGridTreeView *source = GetTreeFromDataObject(mime);
    const bool move = source && source->ViewStates().contains(tsCutPending);
    const bool result = ProcessOLEData(source, mime, FTree->FocusedNode(), FDefaultPasteMode, move);
    if (source == this)
        DoViewStateChange({}, { tsCutPending });
    else if (source)
        source->FinishCutOrCopy();
    return result;
}

bool TGridTreeView::ProcessOLEData(TGridTreeView *Source, const QMimeData *DataObject, TGridNode *TargetNode,
    TGTAttachMode Mode, bool Optimized)
{
    if (!FTree || !DataObject || Mode == amNoWhere || FTree->MiscOptions().contains(toReadOnly))
        return false;
    const QString mime = TreeDataMimeType();
    if (!DataObject->hasFormat(mime))
        return false;
    TBaseGridTree &tree = *FTree;
    tree.PrepareAttachTarget(TargetNode, Mode);

    if (Optimized && Source && Source->Tree()) {
        TNodeArray nodes = Source->ViewStates().contains(tsOLEDragging) ? Source->DragSelection()
                                                                        : Source->GetSortedCutCopySet(true);
        // Moved one by one to the same place: backwards where each lands in
        // front of the one before, so that they keep their order.
        if (!(Mode == amInsertBefore || Mode == amAddChildLast))
            std::reverse(nodes.begin(), nodes.end());
        BeginUpdate();
        struct End {
            TGridTreeView *view;
            ~End() { view->EndUpdate(); }
        } end { this };
        for (TGridNode *node : nodes)
            if (node && node != TargetNode && !tree.HasAsParent(TargetNode, node))
                Source->Tree()->MoveTo(node, TargetNode, Mode, false);
        Source->ForgetMovedNodes();
        return true;
    }

    const QByteArray block = DataObject->data(mime);
    if (block.isEmpty())
        return false;
    BeginUpdate();
    struct End {
        TGridTreeView *view;
        ~End() { view->EndUpdate(); }
    } end { this };
    tree.InsertNodeBlock(block, TargetNode, Mode, Source == this ? crNodeCopied : crNodeAdded);
    // Whether there were records to read.
    return block.size() > 4;
}
