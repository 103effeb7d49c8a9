#pragma once

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/NodeEvents.h"
#include "document/calendar/DateTime.h"
#include "tests/support/QtPrinters.h"

#include <QStringList>
#include <memory>
#include <vector>

// Changes some values of the document's setup and gives it back whole.
template <typename F> void changeSetup(Document &doc, F change)
{
    TDocumentSetup setup = doc.Setup();
    change(setup);
    doc.SetSetup(std::move(setup));
}

// A host that records what the document asks of the window.
class RecordingHost : public IDocumentHost {
public:
    QStringList events;
    bool canUndo = false, canRedo = false;

    // The row and the days its bar covers when it is repainted.
    void InvalidateNodeArea(const TNodeData &node, bool) override
    {
        events << "repaint " + node.ID + " " + DateToStr(node.nodeStart) + "-" + DateToStr(node.nodeEnd);
    }
    void InvalidateTimeChart() override { events << "chart"; }
    void FocusNewNode(TNodeData &node) override { events << "focus " + node.ID; }
    void LayoutPassRequested() override { events << "pass"; }
    void StartFlashSelected() override { events << "flash"; }
    void UpdateEditor() override { events << "editor"; }
    void UpdateUndoActions(bool u, bool r) override
    {
        events << "undo-actions";
        canUndo = u, canRedo = r;
    }
};

// Collects the transaction records of local changes.
class RecordingSink : public IDiffSink {
public:
    std::vector<std::unique_ptr<TNodeEvent>> records;
    QStringList *events = nullptr;
    void PushDiff(std::unique_ptr<TNodeEvent> event) override
    {
        if (events)
            *events << "diff " + event->XMLNodeName();
        records.push_back(std::move(event));
    }
};

// A document with German formats and a recording host and sink.
struct DocumentFixture {
    RecordingHost host;
    RecordingSink sink;
    std::unique_ptr<Document> doc;

    DocumentFixture()
    {
        FormatSettings() = TFormatSettings {};
        doc = std::make_unique<Document>(&host);
        doc->SetIdentity("pc.tester");
        doc->SetDiffSink(&sink);
        sink.events = &host.events;
    }

    // A complete task row: position, start, length in days, state item 0.
    TNodeData *addTask(const QString &id, const QString &position, const QString &start, const QString &days)
    {
        TNodeData *node = doc->AddNode(id, tbTable, true);
        doc->SetData(node, 0, position);
        doc->SetData(node, 1, start);
        doc->SetData(node, 3, days);
        return node;
    }
};

// Every row of a table as "ID: cell|cell|...", in table order.
inline QStringList rowTexts(const Document &doc, TWhichTable table)
{
    QStringList out;
    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
        out << row->ID + ": " + row->StringList.join('|');
    return out;
}
