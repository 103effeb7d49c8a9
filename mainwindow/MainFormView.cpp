// The main window's view, option and dialog commands: the chart's zoom,
// transparency of filtered bars, column width, font size and bar layout; the
// parts of the window shown or hidden; the options; the language; dropped
// files; the update notice and the publisher's addresses.
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "controls/FontComboBox.h"
#include "controls/FontSizeComboBox.h"
#include "controls/PercentComboBox.h"
#include "dialogs/menus/FlatMenuManager.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/gui/WindowTranslation.h"
#include "document/program/CheckUpdate.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "mainwindow/ItemStructMenu.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MenuFills.h"
#include "mainwindow/ViewControls.h"
#include "mainwindow/WebAddresses.h"
#include "platform/gui/ShellOpen.h"
#include "platform/instances/InstanceRegistry.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <array>

namespace {

constexpr std::array kZoomSteps { 25, 50, 75, 100, 150, 200 };
constexpr std::array kTransparencySteps { 100, 90, 80, 70, 60, 50 };
// The column-width items: the days that fill the chart's width.
constexpr std::array kColumnWidthDays { 1, 2, 3, 7, 14, 21, 31, 62, 92, 182, 365 };
// The chart font sizes that can be typed.
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 200;
constexpr std::array kColumnWidthCaptions { "1 day", "2 days", "3 days", "1 week", "2 weeks", "3 weeks",
    "1 month", "2 months", "3 months", "6 months", "1 year" };

// The local files among dropped URLs.
QStringList DroppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

// ---------------------------------------------------------------- building

void TMainForm::BuildViewCommands()
{
    FViewControls = std::make_unique<TViewControls>();
    auto checkItem = [this](const char *caption, const char *name, std::function<void()> handler, bool on) {
        QAction *item = NewAction(QString::fromLatin1(caption), name, std::move(handler));
        item->setCheckable(true);
        item->setChecked(on);
        return item;
    };
    const TProgramSettings &s = FProgramSettings;
    Werkzeugleisteanzeigen1 = checkItem(
        "Toolbar", "Werkzeugleisteanzeigen1", [this] { Werkzeugleisteanzeigen1Click(); }, s.ToolBar);
    Gesamtbersicht1 = checkItem(
        "General View", "Gesamtbersicht1", [this] { Gesamtbersicht1Click(); }, s.SmallTimeChart);
    Tabelleanzeigen1 = checkItem(
        "Table", "Tabelleanzeigen1", [this] { Tabelleanzeigen1Click(); }, s.Table);
    LinienzwischenArbeitspltze1 = checkItem(
        "Lines between resources", "LinienzwischenArbeitspltze1",
        [this] { LinienzwischenArbeitspltze1Click(); }, s.DrawLines);
    LinienzwischenMehrzeiligenArbeitspltzen1 = checkItem(
        "Lines between multi-row resources", "LinienzwischenMehrzeiligenArbeitspltzen1",
        [this] { LinienzwischenArbeitspltze1Click(); }, s.DrawLinesMultiRow);
    leereArbeitspltzeausblenden1 = checkItem(
        "Hide empty resources", "leereArbeitspltzeausblenden1",
        [this] { leereArbeitspltzeausblenden1Click(); }, s.HideRows);
    leeremultiArbeitspltzeausblenden1 = checkItem(
        "Hide empty multi-row resources", "leeremultiArbeitspltzeausblenden1",
        [this] { leereArbeitspltzeausblenden1Click(); }, s.HideMultiRows);
    autoscroll = checkItem(
        "Scroll Timechart while moving Task (invert with shift)", "autoscroll",
        [this] { SwapCheckedClick(); }, s.AutoScroll);
    naturalscrolling = checkItem(
        "natural scrolling", "naturalscrolling", [this] { SwapCheckedClick(); }, s.NaturalScroll);
    DenyMoveBeforeNow = checkItem(
        "Deny move items into the past", "DenyMoveBeforeNow", [this] { SwapCheckedClick(); },
        FViewSettings.DenyMoveBeforeNow);
    AutoArrange = checkItem(
        "Automatically arrange items", "AutoArrange", [this] { SwapCheckedClick(); }, s.AutoArrange);
    // There is no archive to delete: the entry is there, but cannot be chosen.
    Archivlschen1 = NewAction(QStringLiteral("Archiv löschen"), "Archivlschen1", {});
    Archivlschen1->setEnabled(false);
    Updateavailable1 = NewAction(
        QStringLiteral("Update available"), "Updateavailable1", [this] { Updateavailable1Click(); });
    Updateavailable1->setVisible(false);
    Kontakt1 = NewAction(QStringLiteral("email"), "Kontakt1", [this] { Kontakt1Click(); });
    Kontakt1->setVisible(false);
    WebSite1 = NewAction(WebSiteURL(), "WebSite1", [this] { WebSite1Click(); });

    BuildViewMenus();
    BuildViewToolBar();
    RedrawItemStructImages();
    setAcceptDrops(true);
}

void TMainForm::BuildViewMenus()
{
    KalendarZoom1 = new QMenu(this);
    KalendarZoom1->setObjectName(QStringLiteral("KalendarZoom1"));
    for (int percent : kZoomSteps) {
        QAction *item = KalendarZoom1->addAction(QStringLiteral("%1 %").arg(percent));
        item->setData(percent);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, percent] { MenuZoomClick(percent); });
        FViewControls->ZoomItems.push_back(item);
    }
    transparenzfrgefiltertAuftrge1 = new QMenu(this);
    transparenzfrgefiltertAuftrge1->setObjectName(QStringLiteral("transparenzfrgefiltertAuftrge1"));
    for (int percent : kTransparencySteps) {
        QAction *item = transparenzfrgefiltertAuftrge1->addAction(percent == 100
                ? Translate(QStringLiteral("100 % (invisible)"))
                : QStringLiteral("%1 %").arg(percent));
        item->setData(percent);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, percent] { MenuTransparencyClickClick(percent); });
        FViewControls->TransparencyItems.push_back(item);
    }
    ColumnWidthPopupMenu = new QMenu(Translate(QStringLiteral("Column width")), this);
    ColumnWidthPopupMenu->setObjectName(QStringLiteral("ColumnWidthPopupMenu"));
    for (int tag = 0; tag < int(kColumnWidthDays.size()); ++tag) {
        QAction *item
            = ColumnWidthPopupMenu->addAction(Translate(QString::fromLatin1(kColumnWidthCaptions[tag])));
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { FixedColumnWidthClick(tag); });
    }
    ItemStructMenu = new QMenu(this);
    ItemStructMenu->setObjectName(QStringLiteral("ItemStructMenu"));
    for (int i = 0; i < 3; ++i) {
        QAction *item
            = AddItemStructItem(*ItemStructMenu, TRowSet(i), QStringLiteral("ItemStruct%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, i] { ItemStructClick(i); });
        FViewControls->ItemStruct[std::size_t(i)] = item;
        FViewControls->ItemStructItems[std::size_t(i)]
            = static_cast<TItemStructItem *>(static_cast<QWidgetAction *>(item)->defaultWidget());
    }

    Sprache1 = NewMenu(Translate(QStringLiteral("Language")), "Sprache1");
}

void TMainForm::BuildViewToolBar()
{
    TViewControls &c = *FViewControls;
    dfsToolBar2 = new QToolBar(Translate(QStringLiteral("Timechart")), this);
    dfsToolBar2->setObjectName(QStringLiteral("dfsToolBar2"));
    dfsToolBar2->setMovable(false);
    // A row of its own: beside the first tool bar it would push the legends out of sight.
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, dfsToolBar2);

    c.ZoomComboBox = new TPercentComboBox({ kZoomSteps.begin(), kZoomSteps.end() }, 3, dfsToolBar2);
    c.ZoomComboBox->setObjectName(QStringLiteral("ZoomComboBox"));
    c.ZoomComboBox->SetOnChange([this] { ZoomComboBoxChange(); });
    dfsToolBar2->addWidget(c.ZoomComboBox);
    c.TransparenceComboBox
        = new TPercentComboBox({ kTransparencySteps.begin(), kTransparencySteps.end() }, 3, dfsToolBar2);
    c.TransparenceComboBox->setObjectName(QStringLiteral("TransparenceComboBox"));
    c.TransparenceComboBox->SetOnChange([this] { TransparenceComboBoxChange(); });
    dfsToolBar2->addWidget(c.TransparenceComboBox);
    dfsToolBar2->addSeparator();

    auto button = [this](const QString &text, const char *name, const QString &hint) {
        auto *made = new QToolButton(dfsToolBar2);
        made->setObjectName(QString::fromLatin1(name));
        made->setText(text);
        made->setToolTip(hint);
        dfsToolBar2->addWidget(made);
        return made;
    };
    c.ColumnWidthButton = button(
        Translate(QStringLiteral("Column width")), "ColumnWidthButton", ColumnWidthPopupMenu->title());
    c.ColumnWidthButton->setMenu(ColumnWidthPopupMenu);
    c.ColumnWidthButton->setPopupMode(QToolButton::InstantPopup);
    c.ToolButton20 = button(QStringLiteral("-"), "ToolButton20", Translate(QStringLiteral("Narrower days")));
    connect(c.ToolButton20, &QToolButton::clicked, this, [this] { ToolButton20Click(); });
    c.ToolButton16 = button(QStringLiteral("+"), "ToolButton16", Translate(QStringLiteral("Wider days")));
    connect(c.ToolButton16, &QToolButton::clicked, this, [this] { ToolButton16Click(); });
    dfsToolBar2->addSeparator();

    c.ScFontComboBox1 = new TScFontComboBox(dfsToolBar2);
    c.ScFontComboBox1->setObjectName(QStringLiteral("ScFontComboBox1"));
    dfsToolBar2->addWidget(c.ScFontComboBox1);
    connect(c.ScFontComboBox1, &TScFontComboBox::Clicked, this,
        [this] { FTimeChart->ScFontComboBox1Change(FViewControls->ScFontComboBox1->FontName()); });
    c.FontSizeComboBox1 = new TFontSizeComboBox(dfsToolBar2);
    c.FontSizeComboBox1->setObjectName(QStringLiteral("FontSizeComboBox1"));
    c.FontSizeComboBox1->setFixedWidth(50);
    c.FontSizeComboBox1->lineEdit()->setValidator(
        new QIntValidator(kMinFontSize, kMaxFontSize, c.FontSizeComboBox1));
    dfsToolBar2->addWidget(c.FontSizeComboBox1);
    const auto fontSizeChange = [this] {
        // A number out of range is on its way to another one ("0" of "10"): the
        // chart keeps its size meanwhile. Anything else the chart answers itself.
        const QString text = FViewControls->FontSizeComboBox1->currentText();
        bool number = false;
        const int size = text.toInt(&number);
        if (!number || (size >= kMinFontSize && size <= kMaxFontSize))
            FTimeChart->FontSizeComboBox1Change(text);
    };
    connect(c.FontSizeComboBox1, &QComboBox::activated, this, fontSizeChange);
    connect(c.FontSizeComboBox1->lineEdit(), &QLineEdit::textEdited, this, fontSizeChange);
    // UpDownRowHeight: the chart font a size up or down.
    c.UpDownRowHeightUp = button(QString(), "UpDownRowHeightUp", Translate(QStringLiteral("Larger font")));
    c.UpDownRowHeightUp->setArrowType(Qt::UpArrow);
    connect(c.UpDownRowHeightUp, &QToolButton::clicked, this, [this] { UpDownRowHeightChangingEx(true); });
    c.UpDownRowHeightDown
        = button(QString(), "UpDownRowHeightDown", Translate(QStringLiteral("Smaller font")));
    c.UpDownRowHeightDown->setArrowType(Qt::DownArrow);
    connect(c.UpDownRowHeightDown, &QToolButton::clicked, this, [this] { UpDownRowHeightChangingEx(false); });
    dfsToolBar2->addSeparator();

    c.ItemStructButton = button(QString(), "ItemStructButton", Translate(QStringLiteral("Bar layout")));
    c.ItemStructButton->setMenu(ItemStructMenu);
    c.ItemStructButton->setPopupMode(QToolButton::InstantPopup);
    c.ItemStructButton->setIconSize(kItemStructImageSize / 2);
}

// ---------------------------------------------------------------- what the chart shows

void TMainForm::ShowZoom(int percent, const QString &caption)
{
    if (!FViewControls || !KalendarZoom1)
        return;
    FViewControls->ZoomComboBox->ShowValue(percent);
    FViewControls->ZoomComboBox->setToolTip(caption);
    KalendarZoom1->setTitle(caption);
    for (QAction *item : FViewControls->ZoomItems)
        item->setChecked(item->data().toInt() == percent);
}

void TMainForm::ShowTransparency(int percent, const QString &caption)
{
    if (!FViewControls || !transparenzfrgefiltertAuftrge1)
        return;
    FViewControls->TransparenceComboBox->ShowValue(percent);
    FViewControls->TransparenceComboBox->setToolTip(caption);
    transparenzfrgefiltertAuftrge1->setTitle(caption);
    for (QAction *item : FViewControls->TransparencyItems)
        item->setChecked(item->data().toInt() == percent);
}

void TMainForm::ShowFont(const QString &name, int size)
{
    if (!FViewControls || !FViewControls->ScFontComboBox1)
        return;
    TViewControls &c = *FViewControls;
    if (c.ScFontComboBox1->FontName() != name)
        c.ScFontComboBox1->SetFontName(name);
    if (c.FontSizeComboBox1->FontName() != name)
        c.FontSizeComboBox1->SetFontName(name);
    const QString text = QString::number(size);
    if (c.FontSizeComboBox1->currentText() != text)
        c.FontSizeComboBox1->setEditText(text);
}

void TMainForm::ShowRowSet(TRowSet rowSet)
{
    if (!FViewControls || !FViewControls->ItemStructButton)
        return;
    TViewControls &c = *FViewControls;
    const std::size_t shown = std::size_t(std::clamp(int(rowSet), 0, 2));
    c.ItemStructButton->setIcon(QIcon(QPixmap::fromImage(c.ItemStructImages[shown])));
    for (std::size_t i = 0; i < c.ItemStruct.size(); ++i)
        c.ItemStruct[i]->setChecked(i == shown);
}

// ---------------------------------------------------------------- zoom, transparency, columns, font

void TMainForm::MenuZoomClick(int tag)
{
    FTimeChart->SetZoom(tag);
}

void TMainForm::ZoomComboBoxChange()
{
    FTimeChart->SetZoom(FViewControls->ZoomComboBox->Value(100));
}

void TMainForm::MenuTransparencyClickClick(int tag)
{
    FTimeChart->SetTransparency(tag);
}

void TMainForm::TransparenceComboBoxChange()
{
    FTimeChart->SetTransparency(FViewControls->TransparenceComboBox->Value(50));
}

void TMainForm::FixedColumnWidthClick(int tag)
{
    if (tag < 0 || tag >= int(kColumnWidthDays.size()))
        return;
    FTimeChart->SetTimeChartColWidth(FTimeChart->TimeChart().width() / kColumnWidthDays[std::size_t(tag)]);
}

void TMainForm::ToolButton16Click()
{
    FTimeChart->SetTimeChartColWidth(FTimeChart->TimeChartColWidth() + 1);
}

void TMainForm::ToolButton20Click()
{
    FTimeChart->SetTimeChartColWidth(FTimeChart->TimeChartColWidth() - 1);
}

void TMainForm::UpDownRowHeightChangingEx(bool up)
{
    // A font of size 0 or less would have no height at all.
    FTimeChart->SetTimeChartFontSize(std::max(1, FTimeChart->TimeChartFontSize() + (up ? 1 : -1)));
}

void TMainForm::ItemStructClick(int tag)
{
    FTimeChart->SetRowSet(TRowSet(std::clamp(tag, 0, 2)));
}

void TMainForm::RedrawItemStructImages()
{
    if (!FViewControls)
        return;
    TViewControls &c = *FViewControls;
    const int points = font().pointSize() > 0 ? font().pointSize() : 8;
    c.ItemStructImages = MakeItemStructImages(
        FTimeChart->BarPainter(), GetActiveTable(), kItemStructImageSize, font().family(), points);
    for (std::size_t i = 0; i < c.ItemStructItems.size(); ++i)
        c.ItemStructItems[i]->SetImage(c.ItemStructImages[i]);
    ShowRowSet(FTimeChart->GetRowSet());
}

// ---------------------------------------------------------------- parts of the window, options

void TMainForm::LinienzwischenArbeitspltze1Click()
{
    FProgramSettings.DrawLines = LinienzwischenArbeitspltze1->isChecked();
    FProgramSettings.DrawLinesMultiRow = LinienzwischenMehrzeiligenArbeitspltzen1->isChecked();
    LinienzwischenMehrzeiligenArbeitspltzen1->setEnabled(FProgramSettings.DrawLines);
    FTimeChart->InvalidateTimeChart(true);
}

void TMainForm::leereArbeitspltzeausblenden1Click()
{
    FProgramSettings.HideRows = leereArbeitspltzeausblenden1->isChecked();
    FProgramSettings.HideMultiRows = leeremultiArbeitspltzeausblenden1->isChecked();
    leeremultiArbeitspltzeausblenden1->setEnabled(!FProgramSettings.HideRows);
    UpdateEmptyRows(true);
}

void TMainForm::Werkzeugleisteanzeigen1Click()
{
    FProgramSettings.ToolBar = Werkzeugleisteanzeigen1->isChecked();
    FToolBar1->setVisible(FProgramSettings.ToolBar);
    dfsToolBar2->setVisible(FProgramSettings.ToolBar);
}

void TMainForm::Gesamtbersicht1Click()
{
    FProgramSettings.SmallTimeChart = Gesamtbersicht1->isChecked();
    // The splitter under the overview goes with it.
    FTimeChart->OverviewBar().setVisible(FProgramSettings.SmallTimeChart);
    if (FProgramSettings.SmallTimeChart)
        FTimeChart->SetSmallTimeChartRowHeight(FTimeChart->SmallTimeChartRowHeight());
}

void TMainForm::Tabelleanzeigen1Click()
{
    FProgramSettings.Table = Tabelleanzeigen1->isChecked();
    // Without the tables the editor has no place beside them: it becomes a window.
    if (!FProgramSettings.Table && !FEditor->EditorAsForm())
        EditorAsFormClick();
    EditorAsForm->setEnabled(FProgramSettings.Table);
    FPanel1->setVisible(FProgramSettings.Table);
}

void TMainForm::SwapCheckedClick()
{
    FProgramSettings.AutoScroll = autoscroll->isChecked();
    FProgramSettings.NaturalScroll = naturalscrolling->isChecked();
    FProgramSettings.AutoArrange = AutoArrange->isChecked();
    // The chart asks the window's copy; the document's is what a save writes.
    FViewSettings.DenyMoveBeforeNow = DenyMoveBeforeNow->isChecked();
    FCommands->ViewSettings().DenyMoveBeforeNow = FViewSettings.DenyMoveBeforeNow;
}

void TMainForm::ApplyViewOptions()
{
    const TProgramSettings &s = FProgramSettings;
    LinienzwischenArbeitspltze1->setChecked(s.DrawLines);
    LinienzwischenMehrzeiligenArbeitspltzen1->setChecked(s.DrawLinesMultiRow);
    leereArbeitspltzeausblenden1->setChecked(s.HideRows);
    leeremultiArbeitspltzeausblenden1->setChecked(s.HideMultiRows);
    Werkzeugleisteanzeigen1->setChecked(s.ToolBar);
    Gesamtbersicht1->setChecked(s.SmallTimeChart);
    Tabelleanzeigen1->setChecked(s.Table);
    autoscroll->setChecked(s.AutoScroll);
    naturalscrolling->setChecked(s.NaturalScroll);
    AutoArrange->setChecked(s.AutoArrange);
    LinienzwischenArbeitspltze1Click();
    leereArbeitspltzeausblenden1Click();
    Werkzeugleisteanzeigen1Click();
    Gesamtbersicht1Click();
    Tabelleanzeigen1Click();
    SwapCheckedClick();
    UpdateLastFilesMenu();
}

// ---------------------------------------------------------------- language

void TMainForm::SetupClick()
{
    Sprache1->clear();
    auto *group = new QActionGroup(Sprache1);
    const QStringList files
        = QDir(LanguageFolder()).entryList({ QStringLiteral("*.lng") }, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString language = file.chopped(4);
        auto *item = new QAction(MenuItemText(language), group);
        item->setCheckable(true);
        item->setChecked(language == FCommands->Language());
        item->setData(language);
        connect(item, &QAction::triggered, this, [this, language] { SetLanguageClick(language); });
        Sprache1->addAction(item);
    }
    Sprache1->setEnabled(!files.isEmpty());
    TFlatMenuManager::ActivateMenuItem(Sprache1->menuAction(), true);
}

void TMainForm::SetLanguageClick(const QString &language)
{
    FCommands->SetLanguage(language);
}

void TMainForm::LanguageChanged(const QString &language)
{
    if (!FViewControls)
        return;
    for (QAction *item : Sprache1->actions())
        item->setChecked(item->data().toString() == language);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        window->setProperty(kTranslatedTo, QVariant(language));
        ::Translate(window);
        TranslateUnnamed(window);
    }
    // Texts the window made itself come back from what they show now.
    setWindowTitle(FInstances->Caption());
    UpdateLastFilesMenu();
    FTimeChart->SetTransparency(FTimeChart->GetTransparency());
    FTimeChart->SetZoom(FTimeChart->GetZoom());
    if (!FViewControls->FoundVersion.isEmpty())
        Updateavailable1->setText(
            Translate(QStringLiteral("Update available: %s"), { FViewControls->FoundVersion }));
    AlteFassung->menuAction()->setToolTip(Translate(QStringLiteral("Revert to last saved file")));
    FPageControl1->setTabText(int(tbTable), Translate(QStringLiteral("Tasks")));
    FPageControl1->setTabText(int(tbExclude), Translate(QStringLiteral("Days absent")));
    ActionClearAllFilters->setText(Translate(QStringLiteral("Clear all Filters")));
    ActionClearAllFilters->setToolTip(ActionClearAllFilters->text());
    FEdit2->setPlaceholderText(Translate(QStringLiteral("Find")));
    if (FEditor)
        FEditor->EditorScrollBox().UpdateCaptions();
    // The summary tab carries the language's name for it; the chart's sync of the
    // groups leaves it as it stands.
    if (FTimeChart->TabControl1().count() > 0)
        FTimeChart->TabControl1().setTabText(0, Translate(QStringLiteral("General View")));
    // Cells whose text comes from the language (check boxes' "yes") are drawn anew.
    FStringGridTree1->InvalidateTree();
    FStringGridTree2->InvalidateTree();
    FShownSharingState.clear();
    UpdateCaption();
    UpdateStatusBar();
}

// ---------------------------------------------------------------- dropped files

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    // Nothing opens in the middle of a save or of another open.
    if (files.isEmpty() || FSaveWaits > 0 || HasState(gsLoading))
        return;
    event->acceptProposedAction();
    // One file is opened; of several the program could not tell which.
    if (files.size() == 1)
        FCommands->Open(files.front());
}

// ---------------------------------------------------------------- update, addresses

void TMainForm::CheckUpdate1Found()
{
    int major = 0, minor = 0, release = 0, build = 0, flags = 0;
    const QString found = FCheckUpdate1->Payload();
    if (!GetBuildInfo(QString(), major, minor, release, build, flags)
        || !IsNewerVersion(found, major, minor, release))
        return;
    FViewControls->FoundVersion = found.trimmed();
    Updateavailable1->setText(
        Translate(QStringLiteral("Update available: %s"), { FViewControls->FoundVersion }));
    Updateavailable1->setVisible(true);
}

void TMainForm::Updateavailable1Click()
{
    ShellOpen(QUrl(DownloadPageURL()));
}

void TMainForm::Kontakt1Click()
{
    ShellOpen(QUrl(QStringLiteral("mailto:") + ContactMailAddress()));
}

void TMainForm::WebSite1Click()
{
    ShellOpen(QUrl(WebSiteURL()));
}
