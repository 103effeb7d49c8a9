#pragma once

#include "components/gui/GTClipboardFormats.h"

#include <QMimeData>
#include <QPointer>

class TGridTreeView;

// What a tree hands to the clipboard or to a drag: the formats its owner
// offers when the object is made, each rendered only when a reader asks for
// it, plus what SetData (QMimeData::setData) gives, which is handed out as it
// is. The reference format names the owner within this process. A clipboard
// object that leaves the clipboard (it is destroyed then) cancels its owner's
// pending cut or copy.
class TGTDataObject : public QMimeData {
    Q_OBJECT

public:
    TGTDataObject(TGridTreeView *Owner, bool ForClipboard);
    ~TGTDataObject() override;

    TGridTreeView *Owner() const { return FOwner; }
    bool ForClipboard() const { return FForClipboard; }
    // The formats offered at creation, in priority order.
    const TFormatList &FormatEtcArray() const { return FFormatEtcArray; }
    // The owner does not get a cancel from this object any more.
    void ReleaseOwner();

    QStringList formats() const override;
    bool hasFormat(const QString &MimeType) const override;

    // The MIME type of the reference format and its 8 bytes for a tree: the
    // process identifier and the tree's number in this process.
    static QString ReferenceMimeType();
    static QByteArray MakeReference(const TGridTreeView &Tree);

protected:
    QVariant retrieveData(const QString &MimeType, QMetaType Type) const override;

private:
    QPointer<TGridTreeView> FOwner;
    bool FForClipboard;
    TFormatList FFormatEtcArray;
    // A clipboard object's owner lets go when it cancels or is destroyed first.
    bool FOwnerReleased = false;
};
