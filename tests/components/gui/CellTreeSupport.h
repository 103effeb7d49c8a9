// A string tree whose nodes keep their cell texts: OnGetText reads them,
// OnNewText writes them, and the tree stream carries the cells after the
// first as the owner's bytes (the first one travels as the caption).
#pragma once

#include "components/gui/GridTreeOptions.h"
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringList>

namespace treetest {

struct TCells {
    QStringList Cells;
};

class TCellTree : public TStringGridTree {
public:
    explicit TCellTree(QWidget *Parent = nullptr)
        : TStringGridTree(Parent)
    {
        Tree()->SetNodeDataType<TCells>();
        OnGetText = [this](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column, TGSTTextType Type,
                        QString &Text) {
            const QStringList &cells = Cells(Node);
            const int index = std::max(Column, 0);
            Text = Type == ttNormal && index < cells.size() ? cells[index] : QString();
        };
        OnNewText
            = [this](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column, const QString &Text) {
                  QStringList &cells = Cells(Node);
                  const int index = std::max(Column, 0);
                  while (cells.size() <= index)
                      cells.append(QString());
                  cells[index] = Text;
              };
        Tree()->OnSaveNode = [this](TBaseGridTree &, TGridNode *Node, QIODevice &Stream) {
            if (Node && Cells(Node).size() > 1) {
                QDataStream out(&Stream);
                out << Cells(Node).mid(1);
            }
        };
        Tree()->OnLoadNode = [this](TBaseGridTree &, TGridNode *Node, QIODevice &Stream) {
            QDataStream in(&Stream);
            QStringList rest;
            in >> rest;
            QStringList &cells = Cells(Node);
            const QString first = cells.value(0);
            cells = QStringList { first } + rest;
        };
    }

    QStringList &Cells(TGridNode *Node) { return Tree()->GetNodeData<TCells>(Node)->Cells; }

    // A node with these cells as the last child of Parent (nil: top level).
    TGridNode *Add(TGridNode *Parent, const QStringList &Cells)
    {
        TGridNode *node = Tree()->AddChild(Parent);
        this->Cells(node) = Cells;
        return node;
    }

    // Every node's first cell in tree order, indented by a space per level.
    QStringList Outline()
    {
        QStringList result;
        for (TGridNode *node = Tree()->GetFirst(); node; node = Tree()->GetNext(node))
            result.append(QString(int(Tree()->GetNodeLevel(node)), QChar(u' ')) + Cells(node).value(0));
        return result;
    }

    TGridNode *Find(const QString &First)
    {
        for (TGridNode *node = Tree()->GetFirst(); node; node = Tree()->GetNext(node))
            if (Cells(node).value(0) == First)
                return node;
        return nullptr;
    }
};

} // namespace treetest
