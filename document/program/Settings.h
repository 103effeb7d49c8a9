#pragma once

#include "document/calendar/DateTime.h"
#include "platform/AtomicFile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class TCustomIniFile;

// What is kept beside the document: the user's program settings and the user's
// view and print settings of one document. Both are plain values here; the main
// window fills them from its state before writing and follows them after reading.
//
// Every number read from an ini file is clamped to a sane range: the files are
// outside data, and a huge font size or window size must not reach code that
// allocates by it.

// The user's local application-data folder (empty when there is none).
QString GetSpecialFolderPath();
// "Kez/Kez.ini" under the application-data folder.
QString ProgramIniFileName();

// The program settings of the user.
struct TProgramSettings {
    static constexpr int kMaxLastFiles = 8;

    // view
    bool DrawFullText = false; // read only, never written
    bool HideRows = false;
    bool HideMultiRows = false;
    bool DrawLines = true;
    bool DrawLinesMultiRow = true;
    bool ToolBar = true;
    bool SmallTimeChart = true;
    bool Table = true;
    bool StatusBar = true;
    bool EditorAsForm = false;
    QString Language = QStringLiteral("default");
    // setup
    bool AutoArrange = false;
    int Left = 0, Top = 0, Width = 1024, Height = 768;
    int EditorLeft = 0, EditorTop = 0;
    // edit
    bool LocalUndo = true;
    bool AutoScroll = true;
    bool NaturalScroll = false;
    // Most recent first, at most kMaxLastFiles.
    QStringList LastFiles;
    // sharing: how long a save lets the others' last records reach the shared
    // folder before it retires it (milliseconds). Clients of network shares show
    // new files late (one second is common); a longer cache only makes records
    // be stored twice more often, none is lost.
    static constexpr int kDefaultSettleTimeMs = 5000;
    static constexpr int kMaxSettleTimeMs = 120000;
    int SettleTimeMs = kDefaultSettleTimeMs;

    // Puts a file on top of the recent files; a file already listed moves up.
    // The commands hand in canonical names, compared case-sensitively.
    void AddToLastFiles(const QString &fileName);
};

// Reads the settings; keys the file lacks keep the value `settings` holds, except
// where a fixed default applies (hiderows, localundo, language, ...).
void LoadIni(const TCustomIniFile &ini, TProgramSettings &settings);
// Writes every setting but drawfulltext.
void SaveIni(TCustomIniFile &ini, const TProgramSettings &settings);
// The same on the program settings file; the folder is created when missing.
// Reading never fails: a missing or unreadable file gives the defaults.
void LoadIniFile(TProgramSettings &settings, const QString &fileName = ProgramIniFileName());
[[nodiscard]] platform::WriteResult SaveIniFile(
    const TProgramSettings &settings, const QString &fileName = ProgramIniFileName());

// One stored column filter (the filter list of the main window).
struct TFilterSettings {
    int Type = 0;
    int SubType = 0;
    int Table = 0;
    QString Text1, Text2, Group, Header;
    bool operator==(const TFilterSettings &) const = default;
};

// The view and print settings of one user for one document.
struct TDocumentSettings {
    QString Footer, Header;
    bool PrintToday = false;
    bool PrintHeader = false;
    bool PrintFooter = false;
    bool PrintLochrand = false; // punch margin
    bool PrintFilename = true;
    bool DenyMoveBeforeNow = false;
    int PrinterOrientation = 0; // 0 portrait, 1 landscape
    // Editor size per table (tasks, absent days): width, height.
    std::array<int, 2> EditorWidth { 300, 300 };
    std::array<int, 2> EditorHeight { 300, 300 };
    int TimeChartHeight = 300;
    // The overview chart's row height as stored, and as the chart shows it now
    // (its height divided by the rows); both are written, the second wins on reading.
    int SmallTimeChartRowHeight = 2;
    int SmallTimeChartRowHeightShown = 2;
    QString FontName;
    int FontSize = 10;
    std::vector<TFilterSettings> Filters;
    int ColWidth = 8;
    int Zoom = 100;
    int Transparency = 50;
    // The chart row height written for other readers (3 text lines' worth).
    int RowHeight = 54;
    TDateTime LastTimeChartStart = 0;
    int LastTimeChartTop = 0;
};

// Reads the settings; keys the file lacks keep the present values, except where
// a fixed default applies. `defaultStart` is the first shown date when none is
// stored (now less a third of the visible span).
void LoadFileIni(const TCustomIniFile &ini, TDocumentSettings &settings, TDateTime defaultStart);
void SaveFileIni(TCustomIniFile &ini, const TDocumentSettings &settings);

// The chart font size of a file without "FontSize": from the row height it stores.
int FontSizeFromRowHeight(int rowHeight);
