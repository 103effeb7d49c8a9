#include "dialogs/print/ColumnCheckList.h"

#include "components/gui/GridTreeOptions.h"

TColumnCheckList::TColumnCheckList(QWidget *parent)
    : TStringGridTree(parent)
{
    TCustomGridTreeOptions &options = TreeOptions();
    options.SetMiscOptions(options.MiscOptions() + TGTMiscOptions { toCheckSupport });
    // A flat list: no lines or buttons of a tree in front of the boxes.
    options.SetPaintOptions(
        options.PaintOptions() - TGTPaintOptions { toShowButtons, toShowRoot, toShowTreeLines });
    Tree()->OnInitNode = [this](TBaseGridTree &, TGridNode *, TGridNode *node, TGridNodeInitStates &init) {
        const int index = int(node->Index());
        if (index >= 0 && std::size_t(index) < FEnabled.size() && !FEnabled[std::size_t(index)])
            init.include(ivsDisabled);
    };
    Tree()->OnChecked = [this](TBaseGridTree &, TGridNode *node) {
        if (OnCheck)
            OnCheck(int(node->Index()));
    };
    OnGetText
        = [this](TCustomStringGridTree &, TGridNode *node, TColumnIndex, TGSTTextType type, QString &text) {
              const int index = int(node->Index());
              if (type == ttNormal && index >= 0 && index < FCaptions.size())
                  text = FCaptions[index];
          };
}

void TColumnCheckList::Fill(const QStringList &captions, bool checked, const std::vector<bool> &enabled)
{
    TBaseGridTree &tree = *Tree();
    tree.Clear();
    FNodes.clear();
    FCaptions = captions;
    FEnabled.assign(std::size_t(captions.size()), true);
    for (std::size_t i = 0; i < FEnabled.size() && i < enabled.size(); ++i)
        FEnabled[i] = enabled[i];
    // No check events while the list is built.
    auto onCheck = std::move(OnCheck);
    for (qsizetype i = 0; i < captions.size(); ++i) {
        TGridNode *node = tree.AddChild(nullptr);
        tree.SetCheckType(node, TCheckType::ctCheckBox);
        if (checked)
            tree.SetCheckState(node, csCheckedNormal);
        FNodes.push_back(node);
    }
    // Nodes are initialised (and disabled) when first reached; reach them now.
    for (TGridNode *node = tree.GetFirst(); node; node = tree.GetNext(node)) { }
    OnCheck = std::move(onCheck);
}

TGridNode *TColumnCheckList::Node(int index) const
{
    return index >= 0 && std::size_t(index) < FNodes.size() ? FNodes[std::size_t(index)] : nullptr;
}

bool TColumnCheckList::Checked(int index) const
{
    const TGridNode *node = Node(index);
    return node && Tree()->CheckState(node) == csCheckedNormal;
}

void TColumnCheckList::SetChecked(int index, bool checked)
{
    if (TGridNode *node = Node(index))
        Tree()->SetCheckState(node, checked ? csCheckedNormal : csUncheckedNormal);
}

bool TColumnCheckList::Enabled(int index) const
{
    return index >= 0 && std::size_t(index) < FEnabled.size() && FEnabled[std::size_t(index)];
}
