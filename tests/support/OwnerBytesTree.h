#pragma once

// A node store whose nodes keep the bytes their owner writes into the tree
// stream, saved to and loaded from memory; for tests and fuzz targets.

#include "components/BaseGridTree.h"

#include <QBuffer>

namespace testsupport {

class TOwnerBytesTree : public TBaseGridTree {
public:
    // Without InitOnSave a save writes the nodes as they are.
    explicit TOwnerBytesTree(bool InitOnSave)
    {
        SetNodeDataType<QByteArray>();
        if (!InitOnSave)
            SetMiscOptions(MiscOptions() - TGTMiscOptions { toInitOnSave });
        OnSaveNode
            = [](TBaseGridTree &t, TGridNode *n, QIODevice &s) { s.write(*t.GetNodeData<QByteArray>(n)); };
        OnLoadNode = [](TBaseGridTree &t, TGridNode *n, QIODevice &s) {
            *t.GetNodeData<QByteArray>(n) = s.readAll();
        };
    }
    QByteArray Saved(TGridNode *Node = nullptr)
    {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        SaveToStream(b, Node);
        return b.data();
    }
    void Load(const QByteArray &Bytes)
    {
        QBuffer b;
        b.setData(Bytes);
        b.open(QIODevice::ReadOnly);
        LoadFromStream(b);
    }
};

} // namespace testsupport
