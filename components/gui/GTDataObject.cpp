#include "components/gui/GTDataObject.h"

#include "components/gui/GridTreeView.h"

#include <QCoreApplication>
#include <QtEndian>

TGTDataObject::TGTDataObject(TGridTreeView *Owner, bool ForClipboard)
    : FOwner(Owner)
    , FForClipboard(ForClipboard)
{
    if (Owner)
        Owner->GetNativeClipboardFormats(FFormatEtcArray);
}

TGTDataObject::~TGTDataObject()
{
    if (FForClipboard && FOwner && !FOwnerReleased)
        FOwner->CancelCutOrCopy();
}

void TGTDataObject::ReleaseOwner()
{
    FOwnerReleased = true;
}

QString TGTDataObject::ReferenceMimeType()
{
    return ClipboardFormatMimeType(RegisterClipboardFormat(QLatin1String(CFSTR_GRIDTREE_REFERENCE)));
}

QByteArray TGTDataObject::MakeReference(const TGridTreeView &Tree)
{
    QByteArray block(8, '\0');
    qToLittleEndian(uint32_t(QCoreApplication::applicationPid()), block.data());
    qToLittleEndian(Tree.TreeNumber(), block.data() + 4);
    return block;
}

QStringList TGTDataObject::formats() const
{
    QStringList result;
    for (const TClipboardFormatEntry &format : FFormatEtcArray)
        for (const QString &mime : OfferedMimeTypes(format))
            if (!result.contains(mime))
                result.append(mime);
    for (const QString &stored : QMimeData::formats())
        if (!result.contains(stored))
            result.append(stored);
    if (FOwner)
        result.append(ReferenceMimeType());
    return result;
}

bool TGTDataObject::hasFormat(const QString &MimeType) const
{
    return formats().contains(MimeType);
}

QVariant TGTDataObject::retrieveData(const QString &MimeType, QMetaType Type) const
{
    if (MimeType == ReferenceMimeType())
        return FOwner ? QVariant(MakeReference(*FOwner)) : QVariant();
    // What SetData gave comes first.
    if (QMimeData::formats().contains(MimeType))
        return QMimeData::retrieveData(MimeType, Type);
    if (!FOwner)
        return {};
    for (const TClipboardFormatEntry &format : FFormatEtcArray) {
        if (!OfferedMimeTypes(format).contains(MimeType))
            continue;
        QByteArray data;
        if (FOwner->RenderOLEData(format, data, FForClipboard))
            return data;
    }
    return {};
}
