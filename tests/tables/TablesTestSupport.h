#pragma once

#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "tables/TaskTables.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

// A document of the basic layout (tasks: Position, Start, End, Length, State,
// Comment; positions "Position 1" to "Position 3", Monday to Friday) with
// German formats, scripted questions and the tables' logic (which orders the
// rows of both trees).
class TablesTest : public ::testing::Test, public DocumentFixture {
protected:
    // A task row; its ID is its comment ("empty" for none).
    TNodeData *task(const QString &comment, const QString &position = "Position 1",
        const QString &start = "04.03.2024", const QString &days = "1")
    {
        TNodeData *row = addTask(comment.isEmpty() ? "empty" : comment, position, start, days);
        doc->SetData(row, 5, comment);
        return row;
    }

    // The IDs of a table's rows in tree order, hidden ones in brackets.
    QStringList order(TWhichTable table = tbTable) const
    {
        QStringList ids;
        const DocumentTable &rows = doc->GetTable(table);
        for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
            ids << (rows.IsHidden(row) ? "(" + row->ID + ")" : row->ID);
        return ids;
    }

    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped { &dialogs };
    TTaskTables tables { *doc };
};
