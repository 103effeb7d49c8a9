#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TXMLNode;

// One queued transaction record of a local change, handed to the sharing layer.
// Everything the record writes is held in the record itself (the writer's
// identity, column captions, dates in their stored form), so the sharing worker
// can write it without looking at the document.
class TNodeEvent {
public:
    TNodeEvent(QString id, std::int32_t changeIndex, TWhichTable table)
        : FID(std::move(id))
        , FChangeIndex(changeIndex)
        , FTable(table)
    { }
    virtual ~TNodeEvent() = default;
    // Adds the record's children to its element: the change index and the writer.
    virtual void AppendToXML(TXMLNode &node) const;
    // "new", "change" or "delete": the element name of the record.
    virtual QString XMLNodeName() const = 0;
    // Absorbs a later record of the same row when both are still queued.
    virtual bool CanAppend(const TNodeEvent &other) { return false; }

    QString FID;
    std::int32_t FChangeIndex;
    TWhichTable FTable;
    QString FUser; // the writer's identity, set when queued
    // Set for records handed over from an earlier watcher of the same document:
    // once stored they are applied here too, since the document they were made
    // in has been replaced.
    bool FReplayLocally = false;
    // Where the record was stored while it is not yet known to be safe there (a
    // save may retire the folder without having read it): the working folder, the
    // own file's name, the record's index in it and when it was written
    // (milliseconds of the sharing layer's clock). An empty folder: not stored.
    struct TStoredIn {
        QString folder;
        QString file;
        int index = -1;
        qint64 atMs = 0;
    };
    TStoredIn FStoredIn;
    // A record stored again after the save that retired its folder did not read
    // it: the folder it was stored in before. Others may have changed its row in
    // the folders since; when it is a "new", their records are stored again too.
    QString FStoredAgainFrom;
};

class TNewNodeEvent : public TNodeEvent {
public:
    TNewNodeEvent(QString id, TWhichTable table)
        : TNodeEvent(std::move(id), 0, table)
    { }
    void AppendToXML(TXMLNode &node) const override;
    QString XMLNodeName() const override { return QStringLiteral("new"); }
};

class TSetNodeDataEvent : public TNodeEvent {
public:
    TSetNodeDataEvent(QString id, std::int32_t changeIndex, TWhichTable table, int column, QString data)
        : TNodeEvent(std::move(id), changeIndex, table)
    {
        FColumn.push_back(column);
        FData.push_back(std::move(data));
        FCaption.append(QString());
        FStored.append(FData.back());
    }
    void AppendToXML(TXMLNode &node) const override;
    QString XMLNodeName() const override { return QStringLiteral("change"); }
    // A "change" of the same row (exact ID) is merged in: its columns replace
    // equal ones and append new ones; the higher change index wins.
    bool CanAppend(const TNodeEvent &other) override;

    std::vector<int> FColumn; // column indices, in the order first changed
    QStringList FData; // the cell texts, same length
    QStringList FCaption; // the element names (stored captions), same length
    QStringList FStored; // the texts as written (dates in their stored form), same length
};

class TDeleteNodeEvent : public TNodeEvent {
public:
    using TNodeEvent::TNodeEvent;
    QString XMLNodeName() const override { return QStringLiteral("delete"); }
};

// Receives the records of local changes (the sharing watcher).
class IDiffSink {
public:
    virtual ~IDiffSink() = default;
    virtual void PushDiff(std::unique_ptr<TNodeEvent> event) = 0;
};

using TNodeEventList = std::vector<std::unique_ptr<TNodeEvent>>;

// Appends every record of source to dest in order and empties source.
void MoveEvents(TNodeEventList &dest, TNodeEventList &source);
