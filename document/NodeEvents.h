#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One queued transaction record of a local change, handed to the sharing layer.
class TNodeEvent {
public:
    TNodeEvent(QString id, std::int32_t changeIndex, TWhichTable table)
        : FID(std::move(id))
        , FChangeIndex(changeIndex)
        , FTable(table)
    {
    }
    virtual ~TNodeEvent() = default;
    // "new", "change" or "delete": the element name of the record.
    virtual QString XMLNodeName() const = 0;

    QString FID;
    std::int32_t FChangeIndex;
    TWhichTable FTable;
};

class TNewNodeEvent : public TNodeEvent {
public:
    TNewNodeEvent(QString id, TWhichTable table)
        : TNodeEvent(std::move(id), 0, table)
    {
    }
    QString XMLNodeName() const override { return QStringLiteral("new"); }
};

class TSetNodeDataEvent : public TNodeEvent {
public:
    TSetNodeDataEvent(QString id, std::int32_t changeIndex, TWhichTable table, int column, QString data)
        : TNodeEvent(std::move(id), changeIndex, table)
    {
        FColumn.push_back(column);
        FData.push_back(std::move(data));
    }
    QString XMLNodeName() const override { return QStringLiteral("change"); }

    std::vector<int> FColumn; // column indices, in the order first changed
    QStringList FData;        // the cell texts, same length
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
