// Every menu of the main window in one table: the menu bar's menus in the order
// a user reads them, each with its entries and separators, and the tables' and
// the chart's popup menus. The commands and submenus are made with their parts
// (actions, file menu, view commands, window list); only here are they placed.
#include "dialogs/misc/Archive.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Translation.h"
#include "mainwindow/MainForm.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <variant>
#include <vector>

namespace {

struct TSeparator { };
// A command, a submenu or a separator.
using TMenuEntry = std::variant<QAction *, QMenu *, TSeparator>;
constexpr TSeparator Line;

struct TMenuTable {
    QMenu *menu;
    std::vector<TMenuEntry> entries;
};

void Fill(QMenu &menu, const std::vector<TMenuEntry> &entries)
{
    for (const TMenuEntry &entry : entries) {
        if (QAction *const *action = std::get_if<QAction *>(&entry))
            menu.addAction(*action);
        else if (QMenu *const *submenu = std::get_if<QMenu *>(&entry))
            menu.addMenu(*submenu);
        else
            menu.addSeparator();
    }
}

} // namespace

QMenu *TMainForm::NewMenu(const QString &title, const char *name, QWidget *parent)
{
    auto *menu = new QMenu(title, parent ? parent : this);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void TMainForm::BuildMenus()
{
    QMenuBar &bar = *menuBar();
    bar.setObjectName(QStringLiteral("MainMenu1"));
    Datei = NewMenu(Translate(QStringLiteral("&File")), "Datei", &bar);
    QMenu *edit = NewMenu(Translate(QStringLiteral("&Edit")), "Bearbeiten1", &bar);
    QMenu *view = NewMenu(Translate(QStringLiteral("&View")), "Ansicht1", &bar);
    Format1 = NewMenu(Translate(QStringLiteral("&Setup")), "Format1", &bar);
    QMenu *options = NewMenu(Translate(QStringLiteral("&Options")), "Optionen1", &bar);
    QMenu *evaluation = NewMenu(Translate(QStringLiteral("E&valuation")), "Auswertung1", &bar);
    QMenu *help = NewMenu(QStringLiteral("&?"), "Hilfe1", &bar);

    const std::vector<TMenuTable> menuBarMenus {
        { Datei,
            { Neu, ActionOpen, ActionSave, ActionSaveAs, Dateikomprimiertspeichern1, Line, Clients1,
                AlteFassung, Line, ActionPrintTimechart, ActionPrintList, ActionPrinterSetup, Line,
                Grafikspeichern1, Exportieren1, ExcelImport1, Line, zuletztgeffneteDateien1, Line,
                ActionClose } },
        { edit,
            { ActionUndo, ActionRedo, Line, ActionCut, ActionCopy, ActionPaste, ActionSelectAll, Line,
                ActionSolveOverlapping, ActionSolveOverlappingSingle, Line, ActionAddNode, ActionDeleteNode,
                Line, ActionGoto, SortMenu, ActionAutoSize, FilterMenu, NumericStatisticsMenu,
                Utilisation1 } },
        { view,
            { Werkzeugleisteanzeigen1, Gesamtbersicht1, Tabelleanzeigen1, Statuszeileanzeigen1, EditorAsForm,
                Line, KalendarZoom1, transparenzfrgefiltertAuftrge1, ColumnWidthPopupMenu, Line,
                LinienzwischenArbeitspltze1, LinienzwischenMehrzeiligenArbeitspltzen1,
                leereArbeitspltzeausblenden1, leeremultiArbeitspltzeausblenden1 } },
        { Format1,
            { Tabellebearbeiten1, Fehltagebearbeiten1, Line, Arbeitspltzebearbeiten1, ositionengruppieren1,
                Line, EditHoliday1, Line, Sprache1 } },
        { options, { autoscroll, naturalscrolling, DenyMoveBeforeNow, AutoArrange, localUndo } },
        { evaluation,
            { Auslastung1, Statistik1, ActionHolidayStatistic, Line, Auftrgearchivieren1,
                Archivierungrckgngigmachen1, Archivlschen1 } },
        { Fenster1, {} }, // the running instances, filled when they change
        { help, { WebSite1, Kontakt1, Line, Info1 } },
    };
    for (const TMenuTable &table : menuBarMenus) {
        bar.addMenu(table.menu);
        Fill(*table.menu, table.entries);
    }
    bar.addAction(Updateavailable1);

    const std::vector<TMenuTable> popups {
        { GridTreePopupMenu,
            { ActionCut, ActionCopy, ActionPaste, Line, ActionAddNode, ActionDeleteNode, Line,
                ActionSelectAll, ActionAutoSize } },
        { GridTreeHeaderPopupMenu, { ActionSort, ActionFilter, ActionClearFilter, ActionAutoSize } },
        { TimeChartPopupMenu, { ActionPasteNode, ActionSplit, Line, ActionAddNode, ActionDeleteNode } },
    };
    for (const TMenuTable &table : popups)
        Fill(*table.menu, table.entries);

    // What the menus show is brought up to date as they open.
    connect(Datei, &QMenu::aboutToShow, this, [this] { DateiClick(); });
    connect(Format1, &QMenu::aboutToShow, this, [this] { SetupClick(); });
    // The option kept per document shows the open document's value.
    connect(options, &QMenu::aboutToShow, this,
        [this] { DenyMoveBeforeNow->setChecked(FViewSettings.DenyMoveBeforeNow); });
    // Whether there is an archive to bring back from is asked of the disk only
    // when the menu opens.
    connect(evaluation, &QMenu::aboutToShow, this, [this] {
        const QString document = FCommands->FileName();
        Archivierungrckgngigmachen1->setEnabled(
            !document.isEmpty() && QFileInfo::exists(ArchiveFileName(document)));
    });
}
