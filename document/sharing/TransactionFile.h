#pragma once

#include "document/xml/XMLFile.h"

#include <QSet>
#include <vector>

// A transaction file of the sharing folder (or a working copy, which the watcher
// keeps beside them): the XML file with what the watcher knows about its records.
class TTransactionFile : public TXMLFile {
public:
    // A symbolic link in the file's place is never followed; a working copy is a
    // document, and bounded like one.
    TTransactionFile(const QString &fileName, bool readOnly)
        : TXMLFile(fileName, readOnly)
    {
        SetReadPolicy(false, DocumentTextLimit);
    }

    // Reads the file as TXMLFile::Load does; the sharing state survives re-reading.
    platform::Status Load(const Acceptor &accept = {});

    // The highest record index already applied (or, for the own file, written).
    int LastIndex() const { return FLastIndex; }
    void SetLastIndex(int index) { FLastIndex = index; }
    // The tree was (re)read and its new records are not yet applied.
    bool Changed() const { return FChanged; }
    void SetChanged(bool changed) { FChanged = changed; }
    // The own file: the index of the first record this instance wrote into it
    // (-1: none). Those records are local changes and never applied again; records
    // below it came from an earlier run and are applied like any other.
    int FirstOwnIndex() const { return FFirstOwnIndex; }
    void SetFirstOwnIndex(int index) { FFirstOwnIndex = index; }
    // A record this instance stored again for a document that lacks it (taken over
    // from a reloaded document, or others' records): applied here like the others'
    // records, also when it follows the first own one.
    void MarkReplayed(int index) { FReplayed.insert(index); }
    bool TakeReplayed(int index) { return FReplayed.remove(index); }

    struct TRecordRef {
        int index;
        const TXMLNode *record;
    };
    // The records (children of document/diff) in index order, equal indexes in file
    // order. Worked out once per tree, so a reader that applies only the newest
    // records does not walk the whole file each time.
    const std::vector<TRecordRef> &OrderedRecords();

private:
    int FLastIndex = -1;
    bool FChanged = false;
    int FFirstOwnIndex = -1;
    QSet<int> FReplayed;
    std::vector<TRecordRef> FOrdered;
    const TXMLNode *FOrderedLast = nullptr; // the last record when FOrdered was made
    const TXMLTree *FOrderedTree = nullptr;
};
