// The view, option and dialog commands of the main window as a user meets
// them: menu items clicked, boxes typed into, buttons pressed, files dropped.
#include "components/gui/ImageList.h"
#include "controls/ColorPickerPopup.h"
#include "controls/FontComboBox.h"
#include "controls/FontSizeComboBox.h"
#include "controls/PercentComboBox.h"
#include "document/program/CheckUpdate.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "mainwindow/DialogWindows.h"
#include "mainwindow/ViewControls.h"
#include "tests/mainwindow/MainWindowTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "tests/support/PixelTest.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ColorLegend.h"
#include "timechart/Splitter.h"
#include "timechart/TimeChart.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace mainformtest;
using testsupport::PixelAt;

namespace {

class ViewCommandsTest : public MainFormTest {
protected:
    void SetUp() override { ShowForm(); }

    TTimeChart &chart() const { return Probe(*form).Chart(); }
    TViewControls &controls() const { return Probe(*form).ViewControls(); }
    QMenu &menu(const char *name) const { return *form->menuBar()->findChild<QMenu *>(name); }

    // Chooses `item` of the submenu `sub` of the menu bar's menu `top`.
    void ChooseIn(QMenu &top, QMenu &sub, QAction *item)
    {
        ASSERT_TRUE(OpenMenu(*form, top));
        ASSERT_TRUE(OpenSubmenu(top, sub));
        Choose(sub, item);
    }
    void ChooseIn(QMenu &top, QAction *item)
    {
        ASSERT_TRUE(OpenMenu(*form, top));
        Choose(top, item);
    }

    // A tool button's menu runs its own loop while open: `item` is chosen there.
    static void ChooseFromButton(QToolButton &button, QMenu &menu, QAction *item)
    {
        QTimer::singleShot(0, [&menu, item] {
            if (QTest::qWaitFor([&] { return menu.isVisible(); }, 5000))
                Choose(menu, item);
            CloseMenus();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
    }

    // Replaces the box's text by typing `text`.
    static void Type(QComboBox &box, const QString &text)
    {
        QLineEdit &edit = *box.lineEdit();
        edit.setFocus();
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QTest::keyClicks(&edit, text);
    }

    QString Plan(const QString &name, int tasks, int positions)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = 0;
        options.positions = positions;
        return WritePlan(name, options);
    }
};

// Answers every request with one page.
class PageServer {
public:
    explicit PageServer(const QByteArray &body)
    {
        EXPECT_TRUE(FServer.listen(QHostAddress::LocalHost));
        QObject::connect(&FServer, &QTcpServer::newConnection, [this, body] {
            QTcpSocket *socket = FServer.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                socket->readAll();
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    QString Url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/version.html").arg(FServer.serverPort());
    }

private:
    QTcpServer FServer;
};

} // namespace

TEST_F(ViewCommandsTest, ZoomAndTransparencyFromTheMenusAndTheBoxes)
{
    QMenu &view = menu("Ansicht1");
    ChooseIn(view, *Probe(*form).Menus().KalendarZoom1,
        Probe(*form).Menus().KalendarZoom1->actions().value(4)); // "150 %"
    EXPECT_EQ(chart().GetZoom(), 150);
    EXPECT_EQ(controls().ZoomComboBox->currentText(), "150");
    EXPECT_EQ(Probe(*form).Menus().KalendarZoom1->title(), "Timechart zoom (150 %)");
    EXPECT_EQ(Entries(*Probe(*form).Menus().KalendarZoom1).filter("*").value(0), "150 % *");

    // Typed: no number is 100 (shown when the typing ends); at most three characters.
    TPercentComboBox &zoom = *controls().ZoomComboBox;
    Type(zoom, "abc");
    EXPECT_EQ(chart().GetZoom(), 100);
    EXPECT_EQ(zoom.currentText(), "abc");
    QTest::keyClick(zoom.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(zoom.currentText(), "100");
    Type(zoom, "1234");
    EXPECT_EQ(zoom.currentText(), "123");
    EXPECT_EQ(chart().GetZoom(), 123);
    EXPECT_EQ(Entries(*Probe(*form).Menus().KalendarZoom1).filter("*").size(), 0);

    // Chosen from the box's list.
    zoom.showPopup();
    QAbstractItemView &list = *zoom.view();
    const QRect fifty = list.visualRect(zoom.model()->index(1, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, fifty.center());
    EXPECT_EQ(chart().GetZoom(), 50);

    ChooseIn(view, *Probe(*form).Menus().transparenzfrgefiltertAuftrge1,
        Probe(*form).Menus().transparenzfrgefiltertAuftrge1->actions().value(0));
    EXPECT_EQ(chart().GetTransparency(), 100);
    EXPECT_EQ(controls().TransparenceComboBox->currentText(), "100");
    EXPECT_EQ(Probe(*form).Menus().transparenzfrgefiltertAuftrge1->title(),
        "Transparency for filtered Tasks (100 %)");
    Type(*controls().TransparenceComboBox, "x");
    EXPECT_EQ(chart().GetTransparency(), 50);
    Type(*controls().TransparenceComboBox, "70");
    EXPECT_EQ(chart().GetTransparency(), 70);
}

TEST_F(ViewCommandsTest, ColumnWidthItemsFillTheChartAndTheButtonsStepByOnePixel)
{
    // The chart 700 pixels wide.
    for (int i = 0; i < 3 && chart().TimeChart().width() != 700; ++i) {
        form->resize(form->width() + 700 - chart().TimeChart().width(), form->height());
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(chart().TimeChart().width(), 700);
    QMenu &view = menu("Ansicht1");
    QMenu &widths = *Probe(*form).Menus().ColumnWidthPopupMenu;
    ChooseIn(view, widths, widths.actions().value(3)); // "1 week"
    EXPECT_EQ(chart().TimeChartColWidth(), 100);
    ChooseIn(view, widths, widths.actions().value(6)); // "1 month": 700 div 31
    EXPECT_EQ(chart().TimeChartColWidth(), 22);

    // The tool bar's buttons; the width never goes below one pixel.
    ChooseFromButton(*controls().ColumnWidthButton, widths, widths.actions().value(10)); // "1 year"
    EXPECT_EQ(chart().TimeChartColWidth(), 1);
    QTest::mouseClick(controls().ToolButton16, Qt::LeftButton);
    EXPECT_EQ(chart().TimeChartColWidth(), 2);
    QTest::mouseClick(controls().ToolButton20, Qt::LeftButton);
    QTest::mouseClick(controls().ToolButton20, Qt::LeftButton);
    EXPECT_EQ(chart().TimeChartColWidth(), 1);
}

TEST_F(ViewCommandsTest, ANewDocumentHasTheChartFontAtTenAndTheBoxesShowIt)
{
    // The window's font is the tests' 8 points; a new document's chart font is
    // the window's face at 10 points, also after another size was chosen.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(chart().TimeChartFontName(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(chart().TimeChartFontSize(), 10);
        EXPECT_EQ(controls().ScFontComboBox1->currentText(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(controls().FontSizeComboBox1->currentText(), QStringLiteral("10"));
        Type(*controls().FontSizeComboBox1, "14");
        ASSERT_EQ(chart().TimeChartFontSize(), 14);
        Action("ActionNew")->trigger();
    }
}

TEST_F(ViewCommandsTest, TheOverviewTakesAThirdOfTheChartAtMostItsRowsShrinking)
{
    // The program's first window size.
    form->resize(1024, 768);
    auto overview = [this] {
        QCoreApplication::processEvents();
        const QList<int> sizes = chart().Splitter3().sizes();
        return std::pair(sizes.value(0), sizes.value(0) + sizes.value(1));
    };
    // 30 positions, some of them of two rows: two pixels a row.
    ASSERT_TRUE(form->Open(Plan("few.kez", 60, 30)));
    IdleTick();
    const int caption = chart().SmallTimeChartCaption().height();
    const int few = doc().GetRowCount();
    EXPECT_EQ(overview().first, few * 2 + caption);
    EXPECT_EQ(chart().SmallTimeChart().height(), few * 2);

    // 220 positions: one pixel a row, and no more than a third (squeezed into
    // it when they need more); the chart keeps the other two thirds.
    ASSERT_TRUE(form->Open(Plan("many.kez", 440, 220)));
    IdleTick();
    const auto [height, total] = overview();
    EXPECT_EQ(height, std::min(total / 3, doc().GetRowCount() + caption));
    // The chart (300 pixels high by default) keeps room for a row below its tabs and header.
    EXPECT_GE(chart().TimeChart().height(), chart().TimeChartRowHeight(0));
    // The chosen row height stays for plans whose rows fit.
    EXPECT_EQ(chart().SmallTimeChartRowHeight(), 2);
}

TEST_F(ViewCommandsTest, TheChartFontStepsButNeverBelowOne)
{
    // Typed sizes are whole numbers from 1 to 200.
    const int size = chart().TimeChartFontSize();
    for (const char *typed : { "0", "-" })
        Type(*controls().FontSizeComboBox1, typed);
    EXPECT_EQ(chart().TimeChartFontSize(), size);
    Type(*controls().FontSizeComboBox1, "201"); // the last digit is refused
    EXPECT_EQ(chart().TimeChartFontSize(), 20);
    Type(*controls().FontSizeComboBox1, "2");
    EXPECT_EQ(chart().TimeChartFontSize(), 2);
    QTest::mouseClick(controls().UpDownRowHeightDown, Qt::LeftButton);
    EXPECT_EQ(chart().TimeChartFontSize(), 1);
    QTest::mouseClick(controls().UpDownRowHeightDown, Qt::LeftButton);
    EXPECT_EQ(chart().TimeChartFontSize(), 1);
    EXPECT_EQ(controls().FontSizeComboBox1->currentText(), "1");
    QTest::mouseClick(controls().UpDownRowHeightUp, Qt::LeftButton);
    QTest::mouseClick(controls().UpDownRowHeightUp, Qt::LeftButton);
    EXPECT_EQ(chart().TimeChartFontSize(), 3);
    EXPECT_EQ(controls().FontSizeComboBox1->currentText(), "3");
}

TEST_F(ViewCommandsTest, BarLayoutPicturesAndTheirChoice)
{
    // 80 x 34: a frame in button shadow around a sample bar whose band is 34, 24
    // and 12 pixels high, centred in the 32 inside the frame; the rest is clear.
    const auto &images = controls().ItemStructImages;
    const auto opaque = [](const QImage &image, int y) { return qAlpha(image.pixel(40, y)) == 255; };
    for (const QImage &image : images) {
        ASSERT_EQ(image.size(), QSize(80, 34));
        EXPECT_EQ(PixelAt(image, 0, 0), ColorToRGB(clBtnShadow));
        EXPECT_EQ(PixelAt(image, 79, 33), ColorToRGB(clBtnShadow));
    }
    EXPECT_TRUE(opaque(images[0], 1) && opaque(images[0], 32));
    EXPECT_TRUE(
        !opaque(images[1], 4) && opaque(images[1], 5) && opaque(images[1], 28) && !opaque(images[1], 29));
    EXPECT_TRUE(
        !opaque(images[2], 10) && opaque(images[2], 11) && opaque(images[2], 22) && !opaque(images[2], 23));
    testsupport::SavePng(images[1], "item_struct_1");

    // The tool button's menu: the items are the pictures, 22 pixels high.
    QMenu &layouts = *Probe(*form).Menus().ItemStructMenu;
    int itemHeight = 0;
    QTimer::singleShot(0, [&] {
        if (QTest::qWaitFor([&] { return layouts.isVisible(); }, 5000))
            itemHeight = layouts.actionGeometry(controls().ItemStruct[2]).height();
    });
    ChooseFromButton(*controls().ItemStructButton, layouts, controls().ItemStruct[2]);
    EXPECT_EQ(itemHeight, 22);
    EXPECT_EQ(chart().GetRowSet(), rsTop);
    EXPECT_TRUE(controls().ItemStruct[2]->isChecked());
    EXPECT_FALSE(controls().ItemStruct[0]->isChecked());
    EXPECT_FALSE(layouts.isVisible());
}

TEST_F(ViewCommandsTest, PartsOfTheWindowAndTheirEnablingRules)
{
    ASSERT_TRUE(form->Open(Plan("plan.kez", 2, 6)));
    IdleTick();
    QMenu &view = menu("Ansicht1");
    ChooseIn(view, Probe(*form).Menus().LinienzwischenArbeitspltze1);
    EXPECT_FALSE(Probe(*form).ProgramSettings().DrawLines);
    EXPECT_FALSE(Probe(*form).Menus().LinienzwischenMehrzeiligenArbeitspltzen1->isEnabled());
    ChooseIn(view, Probe(*form).Menus().LinienzwischenArbeitspltze1);
    EXPECT_TRUE(Probe(*form).Menus().LinienzwischenMehrzeiligenArbeitspltzen1->isEnabled());

    // Two tasks on six positions: hiding the empty ones leaves at most two rows.
    const int rows = doc().GetRowCount();
    ChooseIn(view, Probe(*form).Menus().leereArbeitspltzeausblenden1);
    EXPECT_FALSE(Probe(*form).Menus().leeremultiArbeitspltzeausblenden1->isEnabled());
    IdleTick();
    EXPECT_LE(doc().GetRowCount(), 2);
    ChooseIn(view, Probe(*form).Menus().leereArbeitspltzeausblenden1);
    IdleTick();
    EXPECT_EQ(doc().GetRowCount(), rows);
    EXPECT_TRUE(Probe(*form).Menus().leeremultiArbeitspltzeausblenden1->isEnabled());

    ChooseIn(view, Probe(*form).Menus().Werkzeugleisteanzeigen1);
    EXPECT_TRUE(Probe(*form).ToolBar1().isHidden());
    EXPECT_TRUE(Probe(*form).Menus().dfsToolBar2->isHidden());
    ChooseIn(view, Probe(*form).Menus().Gesamtbersicht1);
    EXPECT_TRUE(chart().OverviewBar().isHidden());
    ChooseIn(view, Probe(*form).Menus().Gesamtbersicht1);
    EXPECT_FALSE(chart().OverviewBar().isHidden());

    // Without the tables the editor is a window of its own, and stays one.
    ChooseIn(view, Probe(*form).Menus().Tabelleanzeigen1);
    EXPECT_TRUE(Probe(*form).Panel1().isHidden());
    EXPECT_TRUE(Probe(*form).Menus().EditorAsForm->isChecked());
    EXPECT_FALSE(Probe(*form).Menus().EditorAsForm->isEnabled());
    ChooseIn(view, Probe(*form).Menus().Tabelleanzeigen1);
    EXPECT_FALSE(Probe(*form).Panel1().isHidden());
    EXPECT_TRUE(Probe(*form).Menus().EditorAsForm->isEnabled());

    QMenu &options = menu("Optionen1");
    for (QAction *option : { Probe(*form).Menus().autoscroll, Probe(*form).Menus().naturalscrolling,
             Probe(*form).Menus().AutoArrange, Probe(*form).Menus().DenyMoveBeforeNow })
        ChooseIn(options, option);
    EXPECT_FALSE(Probe(*form).ProgramSettings().AutoScroll);
    EXPECT_TRUE(Probe(*form).ProgramSettings().NaturalScroll);
    EXPECT_TRUE(Probe(*form).ProgramSettings().AutoArrange);
    EXPECT_TRUE(Probe(*form).Commands().ViewSettings().DenyMoveBeforeNow);
    EXPECT_TRUE(Probe(*form).DocumentSettings().DenyMoveBeforeNow); // what the chart's moves ask

    // An archive cannot be deleted: the entry is there but cannot be chosen.
    ASSERT_TRUE(OpenMenu(*form, menu("Auswertung1")));
    EXPECT_TRUE(menu("Auswertung1").actions().contains(Probe(*form).Menus().Archivlschen1));
    EXPECT_FALSE(Probe(*form).Menus().Archivlschen1->isEnabled());
    CloseMenus();
}

TEST_F(ViewCommandsTest, ViewOptionsComeBackAfterARestart)
{
    QMenu &view = menu("Ansicht1");
    ChooseIn(view, Probe(*form).Menus().Werkzeugleisteanzeigen1);
    ChooseIn(view, Probe(*form).Menus().leereArbeitspltzeausblenden1);
    ChooseIn(menu("Optionen1"), Probe(*form).Menus().AutoArrange);
    ASSERT_TRUE(form->close());

    form = std::make_unique<TMainForm>();
    form->LoadIni();
    form->show();
    EXPECT_FALSE(Probe(*form).Menus().Werkzeugleisteanzeigen1->isChecked());
    EXPECT_TRUE(Probe(*form).ToolBar1().isHidden());
    EXPECT_TRUE(Probe(*form).Menus().leereArbeitspltzeausblenden1->isChecked());
    EXPECT_FALSE(Probe(*form).Menus().leeremultiArbeitspltzeausblenden1->isEnabled());
    EXPECT_TRUE(Probe(*form).Menus().AutoArrange->isChecked());
    EXPECT_TRUE(Probe(*form).ProgramSettings().AutoArrange);
    EXPECT_TRUE(Probe(*form).Menus().Gesamtbersicht1->isChecked());
}

TEST_F(ViewCommandsTest, TheLanguageMenuListsTheFilesOfTheLanguageFolder)
{
    const QString languages = folder.path() + "/languages";
    QDir().mkpath(languages);
    SetLanguageFolder(languages);
    // Nothing to choose from an empty folder.
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Format1));
    EXPECT_FALSE(Probe(*form).Menus().Sprache1->isEnabled());
    CloseMenus();

    auto write = [&](const QString &name, const QByteArray &text) {
        QFile file(languages + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("Deutsch.lng", "[translated]\n&File=&Datei\nToolbar=Werkzeugleiste\nGeneral View=Gesamtsicht\n");
    write("English.lng", "[translated]\n");
    write("readme.txt", "not a language");
    ChooseIn(*Probe(*form).Menus().Format1, *Probe(*form).Menus().Sprache1,
        Probe(*form).Menus().Sprache1->actions().value(0));
    EXPECT_EQ(Probe(*form).Commands().Language(), "Deutsch");
    EXPECT_EQ(Probe(*form).Menus().Datei->title(), "&Datei");
    EXPECT_EQ(Probe(*form).Menus().Werkzeugleisteanzeigen1->text(), "Werkzeugleiste");
    EXPECT_EQ(chart().TabControl1().tabText(0), "Gesamtsicht");
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Format1));
    ASSERT_TRUE(OpenSubmenu(*Probe(*form).Menus().Format1, *Probe(*form).Menus().Sprache1));
    EXPECT_EQ(Entries(*Probe(*form).Menus().Sprache1), QStringList({ "Deutsch *", "English" }));

    // Back to the English texts.
    Choose(*Probe(*form).Menus().Sprache1, Probe(*form).Menus().Sprache1->actions().value(1));
    EXPECT_EQ(Probe(*form).Menus().Datei->title(), "&File");
    EXPECT_EQ(Probe(*form).Menus().Werkzeugleisteanzeigen1->text(), "Toolbar");
    EXPECT_EQ(chart().TabControl1().tabText(0), "General View");
    EXPECT_TRUE(form->windowTitle().startsWith("KEZ - "));
    SetLanguageFolder(QString());
    SetLanguagefile(QString());
}

TEST_F(ViewCommandsTest, OneDroppedFileIsOpenedTwoAreNot)
{
    const QString a = Plan("a.kez", 4, 2), b = Plan("b.kez", 5, 2);
    auto drop = [&](const QStringList &files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls << QUrl::fromLocalFile(file);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &dropped);
    };
    drop({ a, b });
    EXPECT_TRUE(Probe(*form).Commands().FileName().isEmpty());
    drop({ b });
    EXPECT_EQ(Probe(*form).Commands().FileName(), b);
    EXPECT_EQ(doc().TotalCount(tbTable), 5);
}

TEST_F(ViewCommandsTest, AnUpdateIsAnnouncedOnlyForANewerVersion)
{
    int major = 0, minor = 0, release = 0, build = 0, flags = 0;
    ASSERT_TRUE(GetBuildInfo(QString(), major, minor, release, build, flags));
    auto check = [&](const QString &version) {
        PageServer server("<html><!--rev " + version.toLatin1() + " --></html>");
        TCheckUpdate &update = Probe(*form).CheckUpdate1();
        bool reported = false;
        QObject::connect(&update, &TCheckUpdate::Found, form.get(), [&] { reported = true; });
        update.SetURL(server.Url());
        update.Execute();
        EXPECT_TRUE(QTest::qWaitFor([&] { return reported; }, 20000));
    };
    check(QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release));
    EXPECT_FALSE(Probe(*form).Menus().Updateavailable1->isVisible());
    check(QStringLiteral("%1.%2.%3").arg(major).arg(minor + 1).arg(0));
    EXPECT_TRUE(Probe(*form).Menus().Updateavailable1->isVisible());
    const QString announced = QStringLiteral("Update available: %1.%2.0").arg(major).arg(minor + 1);
    EXPECT_EQ(Probe(*form).Menus().Updateavailable1->text(), announced);

    // Chosen, it opens the download page; the help menu's address opens the web site.
    mainwindowtest::LinkRecorder links;
    QMenuBar &bar = *form->menuBar();
    QTest::mouseClick(
        &bar, Qt::LeftButton, {}, bar.actionGeometry(Probe(*form).Menus().Updateavailable1).center());
    ChooseIn(menu("Hilfe1"), Probe(*form).Menus().WebSite1);
    ASSERT_EQ(links.opened.size(), 2);
    EXPECT_EQ(links.opened[0].toString(), "https://zeltrano.org/download.html");
    EXPECT_EQ(links.opened[1].toString(), Probe(*form).Menus().WebSite1->text());
}

TEST_F(ViewCommandsTest, TheLegendOpensTheColourPickerOfTheWindow)
{
    GeneratorOptions options;
    options.tasks = 6;
    options.barTexts = true; // a colour column with three items
    ASSERT_TRUE(form->Open(WritePlan("coloured.kez", options)));
    TCanvasPanel &legend = chart().ItemColorPanel();
    TColorPickerPopup &picker = Probe(*form).DialogWindows().ColorPicker();
    const TRect swatch = TLegendLayout(3, legend.width(), legend.height()).SwatchRect(0);
    // The picker opens over its own loop: Orange (cell 9 at (28, 22, 46, 40)) is clicked there.
    bool opened = false;
    QTimer::singleShot(0, [&] {
        opened = QTest::qWaitFor([&] { return picker.isVisible(); }, 5000);
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(37, 31));
    });
    QTest::mouseClick(&legend, Qt::RightButton, {}, ToQRect(swatch).center());
    EXPECT_TRUE(opened);
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(doc().Setup().FColors.front(), 0x0066FFu);
    // The picker alone answers the click: the context-menu event the window system
    // sends after a right press opens no menu of the window beneath.
    const QPoint at = ToQRect(swatch).center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, legend.mapToGlobal(at));
    QCoreApplication::sendEvent(&legend, &menuEvent);
    QCoreApplication::processEvents();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(qobject_cast<QMenu *>(window) && window->isVisible())
            << window->objectName().toStdString();
        if (qobject_cast<QMenu *>(window))
            window->hide();
    }
}
