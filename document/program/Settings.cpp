#include "document/program/Settings.h"

#include "document/program/IniFile.h"
#include "document/program/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace {

// Window coordinates and sizes: far beyond any screen, far below overflow.
constexpr int kMaxCoordinate = 100000;
constexpr int kMaxFilters = 1000;
// Dates from 1900-01-01 to 9999-12-31.
constexpr TDateTime kFirstDate = 2;
constexpr TDateTime kLastDate = 2958465;

const QString sView = QStringLiteral("view");
const QString sSetup = QStringLiteral("setup");
const QString sEdit = QStringLiteral("edit");
const QString sLastFiles = QStringLiteral("Last files");
const QString sPrinter = QStringLiteral("printer");

int readClamped(
    const TCustomIniFile &ini, const QString &section, const QString &key, int present, int low, int high)
{
    return std::clamp(ini.ReadInteger(section, key, present), low, high);
}

int readCoordinate(const TCustomIniFile &ini, const QString &section, const QString &key, int present)
{
    return readClamped(ini, section, key, present, -kMaxCoordinate, kMaxCoordinate);
}

int readSize(const TCustomIniFile &ini, const QString &section, const QString &key, int present)
{
    return readClamped(ini, section, key, present, 0, kMaxCoordinate);
}

} // namespace

QString GetSpecialFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString ProgramIniFileName()
{
    return GetSpecialFolderPath() + QStringLiteral("/Kez/Kez.ini");
}

void TProgramSettings::AddToLastFiles(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    LastFiles.removeAll(fileName);
    LastFiles.prepend(fileName);
    while (LastFiles.size() > kMaxLastFiles)
        LastFiles.removeLast();
}

void LoadIni(const TCustomIniFile &ini, TProgramSettings &s)
{
    s.DrawFullText = ini.ReadBool(sView, QStringLiteral("drawfulltext"), false);
    s.HideRows = ini.ReadBool(sView, QStringLiteral("hiderows"), false);
    s.HideMultiRows = ini.ReadBool(sView, QStringLiteral("hidemultirows"), false);
    s.DrawLines = ini.ReadBool(sView, QStringLiteral("drawlines"), s.DrawLines);
    s.DrawLinesMultiRow = ini.ReadBool(sView, QStringLiteral("drawlines_multirow"), s.DrawLinesMultiRow);
    s.ToolBar = ini.ReadBool(sView, QStringLiteral("toolbar"), s.ToolBar);
    s.SmallTimeChart = ini.ReadBool(sView, QStringLiteral("smalltimechart"), s.SmallTimeChart);
    s.Table = ini.ReadBool(sView, QStringLiteral("table"), s.Table);
    s.StatusBar = ini.ReadBool(sView, QStringLiteral("statusbar"), s.StatusBar);
    // Read where it is written, so a stored value is found again.
    s.EditorAsForm = ini.ReadBool(sView, QStringLiteral("editorasform"), s.EditorAsForm);
    s.AutoArrange = ini.ReadBool(sSetup, QStringLiteral("AutoArrange"), false);
    s.Width = readSize(ini, sSetup, QStringLiteral("width"), s.Width);
    s.Height = readSize(ini, sSetup, QStringLiteral("height"), s.Height);
    s.Top = readCoordinate(ini, sSetup, QStringLiteral("top"), s.Top);
    s.Left = readCoordinate(ini, sSetup, QStringLiteral("left"), s.Left);
    s.EditorTop = readCoordinate(ini, sSetup, QStringLiteral("editortop"), s.EditorTop);
    s.EditorLeft = readCoordinate(ini, sSetup, QStringLiteral("editorleft"), s.EditorLeft);
    s.LocalUndo = ini.ReadBool(sEdit, QStringLiteral("localundo"), true);
    s.AutoScroll = ini.ReadBool(sEdit, QStringLiteral("autoscroll"), true);
    s.NaturalScroll = ini.ReadBool(sEdit, QStringLiteral("naturalscroll"), false);
    s.SettleTimeMs = readClamped(ini, sSetup, QStringLiteral("settletime"),
        TProgramSettings::kDefaultSettleTimeMs, 0, TProgramSettings::kMaxSettleTimeMs);

    // Oldest first onto the top, which leaves the stored order.
    QStringList files;
    for (int i = 0; i < TProgramSettings::kMaxLastFiles; ++i)
        files << ini.ReadString(sLastFiles, QString::number(i), QString());
    s.LastFiles.clear();
    for (int i = int(files.size()) - 1; i >= 0; --i)
        s.AddToLastFiles(files[i]);

    s.Language = ini.ReadString(sView, QStringLiteral("language"), QStringLiteral("default"));
}

void SaveIni(TCustomIniFile &ini, const TProgramSettings &s)
{
    ini.WriteBool(sView, QStringLiteral("hiderows"), s.HideRows);
    ini.WriteBool(sView, QStringLiteral("hidemultirows"), s.HideMultiRows);
    ini.WriteBool(sView, QStringLiteral("drawlines"), s.DrawLines);
    ini.WriteBool(sView, QStringLiteral("drawlines_multirow"), s.DrawLinesMultiRow);
    ini.WriteBool(sView, QStringLiteral("toolbar"), s.ToolBar);
    ini.WriteBool(sView, QStringLiteral("smalltimechart"), s.SmallTimeChart);
    ini.WriteBool(sView, QStringLiteral("table"), s.Table);
    ini.WriteBool(sView, QStringLiteral("statusbar"), s.StatusBar);
    ini.WriteBool(sView, QStringLiteral("editorasform"), s.EditorAsForm);
    ini.WriteBool(QStringLiteral("Setup"), QStringLiteral("AutoArrange"), s.AutoArrange);
    ini.WriteInteger(sSetup, QStringLiteral("width"), s.Width);
    ini.WriteInteger(sSetup, QStringLiteral("height"), s.Height);
    ini.WriteInteger(sSetup, QStringLiteral("top"), s.Top);
    ini.WriteInteger(sSetup, QStringLiteral("left"), s.Left);
    ini.WriteInteger(sSetup, QStringLiteral("editortop"), s.EditorTop);
    ini.WriteInteger(sSetup, QStringLiteral("editorleft"), s.EditorLeft);
    ini.WriteBool(sEdit, QStringLiteral("localundo"), s.LocalUndo);
    ini.WriteBool(sEdit, QStringLiteral("autoscroll"), s.AutoScroll);
    ini.WriteBool(sEdit, QStringLiteral("naturalscroll"), s.NaturalScroll);
    ini.WriteInteger(sSetup, QStringLiteral("settletime"), s.SettleTimeMs);
    ini.EraseSection(sLastFiles);
    for (int i = 0; i < s.LastFiles.size() && i < TProgramSettings::kMaxLastFiles; ++i)
        ini.WriteString(sLastFiles, QString::number(i), s.LastFiles[i]);
    ini.WriteString(sView, QStringLiteral("language"), s.Language);
}

void LoadIniFile(TProgramSettings &settings, const QString &fileName)
{
    const TMemIniFile ini(fileName);
    if (!ini.Loaded())
        Log(QStringLiteral("Program settings not read: ") + ini.Loaded().reason());
    LoadIni(ini, settings);
}

platform::WriteResult SaveIniFile(const TProgramSettings &settings, const QString &fileName)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    // Keys of other versions stay as they are.
    TMemIniFile ini(fileName);
    if (!ini.Loaded())
        ini.Clear();
    SaveIni(ini, settings);
    return ini.UpdateFile();
}

int FontSizeFromRowHeight(int rowHeight)
{
    return ((rowHeight / 4) * 72) / 92;
}

void LoadFileIni(const TCustomIniFile &ini, TDocumentSettings &s, TDateTime defaultStart)
{
    const QString Setup = QStringLiteral("Setup");
    s.Footer = ini.ReadString(Setup, QStringLiteral("Footer"), QString());
    s.Header = ini.ReadString(Setup, QStringLiteral("Header"), QString());
    s.PrintToday = ini.ReadBool(Setup, QStringLiteral("PrintToday"), false);
    s.PrintHeader = ini.ReadBool(Setup, QStringLiteral("PrintHeader"), false);
    s.PrintFooter = ini.ReadBool(Setup, QStringLiteral("PrintFooter"), false);
    s.PrintLochrand = ini.ReadBool(Setup, QStringLiteral("PrintLochrand"), false);
    s.PrintFilename = ini.ReadBool(Setup, QStringLiteral("PrintFilename"), true);
    s.DenyMoveBeforeNow = ini.ReadBool(Setup, QStringLiteral("DenyMoveBeforeNow"), false);
    s.PrinterOrientation
        = readClamped(ini, sPrinter, QStringLiteral("orientation"), s.PrinterOrientation, 0, 1);
    s.EditorWidth[0] = readSize(ini, sSetup, QStringLiteral("editorwidth"), s.EditorWidth[0]);
    s.EditorHeight[0] = readSize(ini, sSetup, QStringLiteral("editorheight"), s.EditorHeight[0]);
    s.EditorWidth[1] = readSize(ini, sSetup, QStringLiteral("editorwidthExclude"), s.EditorWidth[1]);
    s.EditorHeight[1] = readSize(ini, sSetup, QStringLiteral("editorheightExclude"), s.EditorHeight[1]);
    s.TimeChartHeight = readSize(ini, sSetup, QStringLiteral("TimeChartHeight"), s.TimeChartHeight);
    // The overview shows 1 to 8 pixels per row.
    s.SmallTimeChartRowHeight
        = readClamped(ini, sView, QStringLiteral("smalltimechartheight"), s.SmallTimeChartRowHeight, 1, 8);
    s.SmallTimeChartRowHeight
        = readClamped(ini, Setup, QStringLiteral("SmallTimeChartRowheight"), s.SmallTimeChartRowHeight, 1, 8);
    s.SmallTimeChartRowHeightShown = s.SmallTimeChartRowHeight;
    s.FontName = ini.ReadString(Setup, QStringLiteral("Fontname"), s.FontName);

    s.Filters.clear();
    const int filters = readClamped(ini, Setup, QStringLiteral("Filters"), 0, 0, kMaxFilters);
    for (int i = 0; i < filters; ++i) {
        const QString section = QStringLiteral("Filter") + QString::number(i);
        TFilterSettings f;
        f.Type = readClamped(ini, section, QStringLiteral("Type"), 0, 0, 4);
        f.SubType = readClamped(ini, section, QStringLiteral("SubType"), 0, 0, 5);
        f.Table = readClamped(ini, section, QStringLiteral("Table"), 0, 0, 1);
        f.Text1 = ini.ReadString(section, QStringLiteral("Text1"), QString());
        f.Text2 = ini.ReadString(section, QStringLiteral("Text2"), QString());
        f.Group = ini.ReadString(section, QStringLiteral("Group"), QString());
        f.Header = ini.ReadString(section, QStringLiteral("Header"), QString());
        s.Filters.push_back(f);
    }

    // "FontSize" and "Fontsize" are one key (keys compare ignoring case).
    int fontSize = 10;
    if (ini.ValueExists(Setup, QStringLiteral("FontSize")))
        fontSize = ini.ReadInteger(Setup, QStringLiteral("FontSize"), 10);
    else if (ini.ValueExists(Setup, QStringLiteral("RowHeight")))
        fontSize = FontSizeFromRowHeight(readClamped(ini, Setup, QStringLiteral("RowHeight"), 30, 0, 10000));
    s.FontSize = std::clamp(fontSize, 1, 144);

    s.ColWidth = readClamped(ini, Setup, QStringLiteral("ColWidth"), 8, 1, 1000);
    s.Zoom = readClamped(ini, Setup, QStringLiteral("Zoom"), 100, 1, 10000);
    s.Transparency = readClamped(ini, Setup, QStringLiteral("Transparency"), 50, 0, 100);
    s.LastTimeChartStart = std::clamp(
        ini.ReadDateTime(sSetup, QStringLiteral("LastTimeChartStart"), defaultStart), kFirstDate, kLastDate);
    s.LastTimeChartTop = readClamped(ini, sSetup, QStringLiteral("LastTimeChartTop"), 0, 0, 1000000);
}

void SaveFileIni(TCustomIniFile &ini, const TDocumentSettings &s)
{
    const QString Setup = QStringLiteral("Setup");
    ini.WriteString(Setup, QStringLiteral("Footer"), s.Footer);
    ini.WriteString(Setup, QStringLiteral("Header"), s.Header);
    ini.WriteBool(Setup, QStringLiteral("PrintToday"), s.PrintToday);
    ini.WriteBool(Setup, QStringLiteral("PrintHeader"), s.PrintHeader);
    ini.WriteBool(Setup, QStringLiteral("PrintFooter"), s.PrintFooter);
    ini.WriteBool(Setup, QStringLiteral("PrintLochrand"), s.PrintLochrand);
    ini.WriteBool(Setup, QStringLiteral("PrintFilename"), s.PrintFilename);
    ini.WriteBool(Setup, QStringLiteral("DenyMoveBeforeNow"), s.DenyMoveBeforeNow);
    ini.WriteInteger(sPrinter, QStringLiteral("orientation"), s.PrinterOrientation);
    ini.WriteInteger(sSetup, QStringLiteral("editorwidth"), s.EditorWidth[0]);
    ini.WriteInteger(sSetup, QStringLiteral("editorheight"), s.EditorHeight[0]);
    ini.WriteInteger(sSetup, QStringLiteral("editorwidthExclude"), s.EditorWidth[1]);
    ini.WriteInteger(sSetup, QStringLiteral("editorheightExclude"), s.EditorHeight[1]);
    ini.WriteInteger(sSetup, QStringLiteral("TimeChartHeight"), s.TimeChartHeight);
    ini.WriteInteger(sView, QStringLiteral("smalltimechartheight"), s.SmallTimeChartRowHeight);
    ini.WriteInteger(Setup, QStringLiteral("SmallTimeChartRowheight"), s.SmallTimeChartRowHeightShown);
    ini.WriteString(Setup, QStringLiteral("Fontname"), s.FontName);
    ini.WriteInteger(Setup, QStringLiteral("Fontsize"), s.FontSize);

    // Sections of filters no longer present would be read back by a later count.
    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &section : sections) {
        bool numbered = false;
        section.mid(6).toInt(&numbered);
        if (numbered && section.startsWith(QLatin1String("Filter"), Qt::CaseInsensitive))
            ini.EraseSection(section);
    }
    ini.WriteInteger(Setup, QStringLiteral("Filters"), int(s.Filters.size()));
    for (size_t i = 0; i < s.Filters.size(); ++i) {
        const QString section = QStringLiteral("Filter") + QString::number(i);
        const TFilterSettings &f = s.Filters[i];
        ini.WriteInteger(section, QStringLiteral("Type"), f.Type);
        ini.WriteInteger(section, QStringLiteral("SubType"), f.SubType);
        ini.WriteInteger(section, QStringLiteral("Table"), f.Table);
        ini.WriteString(section, QStringLiteral("Text1"), f.Text1);
        ini.WriteString(section, QStringLiteral("Text2"), f.Text2);
        ini.WriteString(section, QStringLiteral("Group"), f.Group);
        ini.WriteString(section, QStringLiteral("Header"), f.Header);
    }
    ini.WriteInteger(Setup, QStringLiteral("RowHeight"), s.RowHeight);
    ini.WriteInteger(Setup, QStringLiteral("ColWidth"), s.ColWidth);
    ini.WriteInteger(Setup, QStringLiteral("Zoom"), s.Zoom);
    ini.WriteInteger(Setup, QStringLiteral("Transparency"), s.Transparency);
    ini.WriteDateTime(sSetup, QStringLiteral("LastTimeChartStart"), s.LastTimeChartStart);
    ini.WriteInteger(sSetup, QStringLiteral("LastTimeChartTop"), s.LastTimeChartTop);
}
