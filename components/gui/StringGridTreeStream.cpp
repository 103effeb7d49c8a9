// A string tree's chunk in the tree stream: the main column's text.
#include "components/StreamIO.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/StringGridTree.h"

#include <QString>
#include <QtEndian>

void TCustomStringGridTree::WriteNodeChunks(TStreamWriter &Stream, TGridNode *Node)
{
    if (!Tree() || Node == Tree()->RootNode() || !Node->Has(vsInitialized)
        || !StringTreeOptions().StringOptions().contains(toSaveCaptions))
        return;
    const QString text = Text(Node, MainColumn());
    if (text.isEmpty())
        return;
    const qint64 start = Stream.BeginChunk(TBaseGridTree::CaptionChunk);
    Stream.WriteUtf16(text);
    Stream.PatchInt32(start + 4, int32_t(Stream.Position() - start - 8));
}

bool TCustomStringGridTree::ReadNodeChunk(TGridNode *Node, int ChunkType, const char *Begin, const char *End)
{
    if (ChunkType != TBaseGridTree::CaptionChunk)
        return false;
    // The tree keeps no text: the owner gets it.
    const qsizetype units = (End - Begin) / 2;
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(Begin, units, text.data());
    SetText(Node, MainColumn(), text);
    return true;
}
