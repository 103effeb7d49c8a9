// A planner hands a plan to a spreadsheet and takes it back, through the File
// menu of the real main window (file choices answered by script).
#include "mainwindow/excel/ExcelHost.h"
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QMenu>

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
    for (QAction *action : form.Datei->actions()) {
        if (action->objectName() == QLatin1String(name))
            return action;
    }
    return nullptr;
}

class ExcelMenuTest : public MainFormTest { };

} // namespace

TEST_F(ExcelMenuTest, ExportedPlanComesBackThroughTheFileMenuAsOneUndoStep)
{
    auto host = std::make_unique<ScriptedExcelHost>();
    ScriptedExcelHost &excel = *host;
    form->SetExcelHost(std::move(host));
    GeneratorOptions options;
    options.tasks = 60;
    options.absentRows = 8;
    options.positions = 6;
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", options)));
    ShowForm();
    IdleTick();

    QAction *exportItem = FileMenuItem(*form, "Exportieren1");
    QAction *importItem = FileMenuItem(*form, "ExcelImport1");
    ASSERT_TRUE(exportItem && importItem);
    EXPECT_TRUE(exportItem->isVisible() && exportItem->isEnabled());
    EXPECT_TRUE(importItem->isVisible() && importItem->isEnabled());
    EXPECT_NE(exportItem->toolTip(), "Excel is not available");

    const QString workbook = folder.filePath("plan.xlsx");
    excel.answers = { workbook, workbook };
    exportItem->trigger();
    EXPECT_EQ(excel.opened, QStringList { workbook });

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
