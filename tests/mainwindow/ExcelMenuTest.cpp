// A planner hands a plan to a spreadsheet and takes it back, through the File
// menu of the real main window (file choices answered by script).
#include "mainwindow/excel/ExcelHost.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <QMenu>
#include <QStatusBar>

using namespace mainformtest;

namespace {

class ScriptedExcelHost final : public IExcelHost {
public:
    bool ChooseExportFileName(QString &fileName) override { return Answer(fileName); }
    bool ChooseImportFileName(QString &fileName) override { return Answer(fileName); }
    void OpenWorkbook(const QString &fileName) override { opened << fileName; }
    QString DocumentFileName() const override { return {}; }

    QStringList answers, opened;

private:
    bool Answer(QString &fileName)
    {
        if (answers.isEmpty())
            return false;
        fileName = answers.takeFirst();
        return true;
    }
};

// The File menu's item of that name.
QAction *FileMenuItem(TMainForm &form, const char *name)
{
    for (QAction *action : Probe(form).Menus().Datei->actions()) {
        if (action->objectName() == QLatin1String(name))
            return action;
    }
    return nullptr;
}

class ExcelMenuTest : public MainFormTest {
protected:
    // Opens a plan in the shown window, whose Excel dialogs `excel` answers.
    void OpenWithScriptedExcel(const GeneratorOptions &options)
    {
        auto host = std::make_unique<ScriptedExcelHost>();
        excel = host.get();
        Probe(*form).SetExcelHost(std::move(host));
        ASSERT_TRUE(form->Open(WritePlan("plan.kez", options)));
        ShowForm();
        IdleTick();
        exportItem = FileMenuItem(*form, "Exportieren1");
        importItem = FileMenuItem(*form, "ExcelImport1");
        ASSERT_TRUE(exportItem && importItem);
    }

    ScriptedExcelHost *excel = nullptr;
    QAction *exportItem = nullptr;
    QAction *importItem = nullptr;
};

} // namespace

TEST_F(ExcelMenuTest, ExportedPlanComesBackThroughTheFileMenuAsOneUndoStep)
{
    GeneratorOptions options;
    options.tasks = 60;
    options.absentRows = 8;
    options.positions = 6;
    ASSERT_NO_FATAL_FAILURE(OpenWithScriptedExcel(options));
    EXPECT_TRUE(exportItem->isVisible() && exportItem->isEnabled());
    EXPECT_TRUE(importItem->isVisible() && importItem->isEnabled());
    EXPECT_NE(exportItem->toolTip(), "Excel is not available");

    const QString workbook = folder.filePath("plan.xlsx");
    excel->answers = { workbook, workbook };
    exportItem->trigger();
    EXPECT_EQ(excel->opened, QStringList { workbook });
    EXPECT_EQ(form->statusBar()->currentMessage(), "The workbook was written to " + workbook + ".");

    const auto texts = [&](TWhichTable table) {
        QStringList out;
        const DocumentTable &rows = doc().GetTable(table);
        for (const TNodeData *r = rows.First(); r; r = rows.Next(r))
            out << r->StringList.join('|');
        out.sort();
        return out;
    };
    const QStringList tasks = texts(tbTable), absent = texts(tbExclude);
    dialogs.QueueAnswer(mrYes); // clear the tables first
    importItem->trigger();
    EXPECT_EQ(texts(tbTable), tasks);
    EXPECT_EQ(texts(tbExclude), absent);
    EXPECT_EQ(int(store(tbTable).RootNodeCount()), 60) << "the table shows the imported rows";
    EXPECT_NE(row(tbTable, 0)->ID, "") << "fresh IDs";

    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(texts(tbTable), tasks) << "the plan as it was";
    EXPECT_EQ(doc().TotalCount(tbTable), 60);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

// What went wrong is said in the message, whatever the reader or writer found.
TEST_F(ExcelMenuTest, ImportAndExportErrorsSayWhyAndChangeNothing)
{
    GeneratorOptions options;
    options.tasks = 12;
    options.absentRows = 2;
    ASSERT_NO_FATAL_FAILURE(OpenWithScriptedExcel(options));
    const auto lastMessage
        = [&] { return dialogs.Questions().isEmpty() ? QString() : dialogs.Questions().last().Msg; };

    const QString nowhere = folder.filePath("no/such/folder/plan.xlsx");
    excel->answers = { nowhere };
    dialogs.QueueAnswer(mrOk);
    exportItem->trigger();
    EXPECT_TRUE(
        lastMessage().startsWith("Error during export:\rThe workbook " + nowhere + " cannot be written"))
        << lastMessage().toStdString();
    EXPECT_FALSE(lastMessage().contains("Excel."));

    // A text file named like a workbook, and a workbook whose sheet list points
    // at a part it does not hold: each says so and the plan stays as it was.
    const QString workbook = folder.filePath("plan.xlsx");
    excel->answers = { workbook };
    exportItem->trigger();
    QFile text(folder.filePath("notes.xlsx"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Name;Start\n");
    text.close();
    workbooktest::runPython(R"(
import re, sys, zipfile
source, damaged = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2], "w")
for item in source.infolist():
    data = source.read(item.filename)
    if item.filename == "xl/_rels/workbook.xml.rels":
        data = re.sub(rb"<Relationship [^>]*sheet1\.xml[^>]*/>", b"", data)
    damaged.writestr(item, data)
damaged.close()
)",
        { workbook, folder.filePath("damaged.xlsx") });
    const qint64 tasks = doc().TotalCount(tbTable);
    for (const auto &[name, reason] : { std::pair { "notes.xlsx", "is no Excel workbook" },
             std::pair { "damaged.xlsx",
                 "the file is damaged (the sheet \"KEZ Table\" refers to no part of it)" } }) {
        const qsizetype asked = dialogs.Questions().size();
        excel->answers = { folder.filePath(name) };
        dialogs.QueueAnswer(mrOk);
        importItem->trigger();
        EXPECT_EQ(dialogs.Questions().size(), asked + 1) << name << ": one message, no clear question";
        EXPECT_TRUE(lastMessage().startsWith("Error during import:\r")) << lastMessage().toStdString();
        EXPECT_TRUE(lastMessage().contains(reason)) << lastMessage().toStdString();
        EXPECT_EQ(doc().TotalCount(tbTable), tasks);
    }
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}
