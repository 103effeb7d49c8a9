// Shared by the editor's and the filters' tests: the real main window on a new
// document of the basic layout, rows selected by clicks in its tables, and the
// desktop's link handling recorded instead of done.
#pragma once

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "document/NodeEvents.h"
#include "mainwindow/EditorScrollBox.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QDesktopServices>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <initializer_list>

namespace mainwindowtest {

// Takes the addresses the desktop is asked to open.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    LinkRecorder()
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~LinkRecorder() override
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl &url) { opened.append(url); }

private:
    static constexpr const char *kSchemes[] = { "http", "https", "mailto", "file", "ftp" };
};

// The basic layout: tasks Position, Start, End, Length, State, Comment; absent
// days Position, Start, End, Length, Working Days, Absent reason, Comment.
class EditorTest : public mainformtest::MainFormTest {
protected:
    EditorTest()
        : doc(&Probe(*form).Doc())
        , editor(&Probe(*form).Editor())
    {
        doc->SetDiffSink(&sink);
        form->resize(1000, 700);
    }

    void SetUp() override { ShowForm(); }

    // A task row: position, start, length in days, comment.
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

    // Shows the table's page as a click on its tab does.
    void showTable(TWhichTable table)
    {
        QTabBar &tabs = *Probe(*form).PageControl1().tabBar();
        if (tabs.currentIndex() != int(table))
            QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(int(table)).center());
        QCoreApplication::processEvents();
    }

    // Selects the rows by clicks in their table (Ctrl held for all but the
    // first); the editor then shows without waiting for its timer.
    void select(std::initializer_list<TNodeData *> rows, TWhichTable table = tbTable)
    {
        showTable(table);
        TStringGridTree &tree = Probe(*form).Tree(table);
        Qt::KeyboardModifiers keys;
        for (TNodeData *row : rows) {
            const QRect place = ToQRect(tree.GetDisplayRect(row->VNode, -1, false));
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, keys, place.center());
            keys = Qt::ControlModifier;
        }
        editor->ChangeEditorVisibleTimerTimer();
        QCoreApplication::processEvents();
    }

    // A click outside a popup: on the window's status bar.
    void clickStatusBar()
    {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(5, form->height() - 4));
    }

    // Makes the editor anew for the table, as a switch to its page does.
    void rebuild(TWhichTable table = tbTable)
    {
        showTable(table);
        Probe(*form).PageControl1Change();
        QCoreApplication::processEvents();
    }

    // Hides the table's columns in its tree (the column option "visible").
    void hideColumns(TWhichTable table, std::initializer_list<int> columns)
    {
        TGridTreeColumns &all = Probe(*form).Tree(table).Header().Columns();
        for (int column : columns)
            all[column].SetOptions(all[column].Options() - TGTColumnOptions { coVisible });
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

    RecordingSink sink;
    Document *doc;
    TEditor *editor;
};

} // namespace mainwindowtest
