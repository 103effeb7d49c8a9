// Shared by the main window's tests: a document of the basic layout with a
// window around the editor and the filters, whose host records what they ask.
#pragma once

#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/Editor.h"
#include "tests/document/DocumentTestSupport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLocale>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace mainwindowtest {

// The document's host that hands the editor's refresh to the editor, as the
// main window does.
class EditorDocumentHost : public RecordingHost {
public:
    TEditor *editor = nullptr;
    void UpdateEditor() override
    {
        if (editor)
            editor->UpdateEditor();
    }
};

// The window side of the editor: every column visible unless hidden here,
// links recorded instead of opened.
class FakeEditorHost : public IEditorPlacementHost {
public:
    QSet<int> hiddenColumns;
    QList<QUrl> opened;
    bool loading = false;

    bool IsColumnVisible(TWhichTable, int Column) const override { return !hiddenColumns.contains(Column); }
    void OpenLink(const QUrl &Url) override { opened.append(Url); }
    bool IsLoading() const override { return loading; }
};

// A document of the basic layout (tasks: Position, Start, End, Length, State,
// Comment; absent days: Position, Start, End, Length, Working Days, Absent
// reason, Comment) with German formats, scripted questions, and a shown
// window holding the editor panel.
class EditorTest : public ::testing::Test {
protected:
    EditorTest()
    {
        FormatSettings() = TFormatSettings {};
        doc = std::make_unique<Document>(&host);
        doc->SetIdentity("pc.tester");
        doc->SetDiffSink(&sink);
        window.setGeometry(100, 100, 700, 400);
        new QHBoxLayout(&window);
        editor = std::make_unique<TEditor>(*doc, fields, window);
        window.layout()->addWidget(&editor->EditorPanel());
        host.editor = editor.get();
    }
    ~EditorTest() override { host.editor = nullptr; }

    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // A task row: position, start, length in days, state, comment.
    TNodeData *task(const QString &id, const QString &comment, const QString &start = "04.03.2024",
        const QString &days = "1", const QString &position = "Position 1")
    {
        TNodeData *row = doc->AddNode(id, tbTable, false);
        doc->DoSetData(row, 0, position, false);
        doc->DoSetData(row, 1, start, false);
        doc->DoSetData(row, 3, days, false);
        doc->DoSetData(row, 5, comment, false);
        return row;
    }

    // Selects the rows (and only them) and lets the editor follow, as a click
    // in the table does; the editor is shown at once.
    void select(std::initializer_list<TNodeData *> rows, TWhichTable table = tbTable)
    {
        DocumentTable &t = doc->GetTable(table);
        for (TNodeData *row = t.First(); row; row = t.Next(row))
            t.SetSelected(row, false);
        for (TNodeData *row : rows)
            t.SetSelected(row, true);
        editor->SeteditorVisible(rows.size() > 0);
        editor->ChangeEditorVisibleTimerTimer();
        editor->UpdateEditor();
        QCoreApplication::processEvents();
    }

    // Rebuilds the editor for a table, as a table switch does.
    void rebuild(TWhichTable table = tbTable)
    {
        editor->LoadAutofill(fileName);
        editor->Rebuild(table);
        QCoreApplication::processEvents();
    }

    const TEditorRow &row(int column) const
    {
        const TEditorRow *r = editor->EditorScrollBox().RowOf(column);
        EXPECT_NE(r, nullptr) << "no field for column " << column;
        static const TEditorRow none;
        return r ? *r : none;
    }

    QString cell(const QString &id, int column, TWhichTable table = tbTable) const
    {
        return doc->GetData(doc->FindNode(id, table), column);
    }

    EditorDocumentHost host;
    RecordingSink sink;
    std::unique_ptr<Document> doc;
    FakeEditorHost fields;
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped { &dialogs };
    QWidget window;
    std::unique_ptr<TEditor> editor;
    QString fileName;
};

} // namespace mainwindowtest
