#include "tests/app/mainform_peer/UserSoak.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Identity.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "mainwindow/FileDialogs.h"
#include "mainwindow/MainFormProbe.h"
#include "platform/gui/Rect.h"
#include "tests/document/sharing/sharing_peer/TableDump.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <iterator>

namespace usersoak {

namespace {

// Menu entries a user of the tables and the chart picks; others (closing,
// printing, opening files) are left alone, the menu closed with Escape.
const QStringList kMenuActions { "ActionCut", "ActionCopy", "ActionPaste", "ActionPasteNode",
    "ActionSelectAll", "ActionAddNode", "ActionDeleteNode", "ActionSplit", "ActionSort", "ActionAutoSize",
    "ActionFilter", "ActionClearFilter", "ActionClearAllFilters", "ActionUndo", "ActionRedo",
    "ActionSolveOverlapping", "ActionSolveOverlappingSingle" };

const char *const kWords[]
    = { "Order", "Repair", "Check", "Müller", "Weiß", "urgent", "Ölwechsel", "Frame", "B-7", "done", "x" };

QString Encode(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// A user who cancels every file dialog: the soak works on its one document.
class TCancelledFileDialogs final : public IFileDialogs {
public:
    bool ChooseOpenFileName(QWidget *, QString &) override { return false; }
    bool ChooseSaveFileName(QWidget *, QString &) override { return false; }
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// ------------------------------------------------------------------ TEditLog

TEditLog::TEditLog(const QString &path)
    : FFile(path)
{
    FFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void TEditLog::Note(const QString &line)
{
    FFile.write((line + QLatin1Char('\n')).toUtf8());
}

void TEditLog::Stored()
{
    Note(QStringLiteral("stored"));
    FUnconfirmed = false;
}

void TEditLog::PushDiff(std::unique_ptr<TNodeEvent> event)
{
    if (const auto *change = dynamic_cast<const TSetNodeDataEvent *>(event.get())) {
        for (std::size_t i = 0; i < change->FColumn.size(); ++i)
            Note(QStringLiteral("change\t%1\t%2\t%3")
                     .arg(change->FID)
                     .arg(change->FColumn[i])
                     .arg(Encode(FStoredForm
                             ? FStoredForm(change->FTable, change->FColumn[i], change->FData[qsizetype(i)])
                             : change->FData[qsizetype(i)])));
    } else if (dynamic_cast<const TNewNodeEvent *>(event.get())) {
        Note(QStringLiteral("new\t%1\t%2").arg(event->FID, TableName(event->FTable)));
    } else {
        Note(QStringLiteral("delete\t") + event->FID);
    }
    FUnconfirmed = true;
    if (FTarget)
        FTarget->PushDiff(std::move(event));
}

// ------------------------------------------------------------------ TUserAnswers

int TUserAnswers::MessageDlgPosHelp(
    const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &)
{
    const QString asked = QString(Msg).replace(QLatin1Char('\r'), QLatin1Char(' '));
    // After a save cut short by a kill the document file is older than the
    // working copy the save had written: "No" takes the older file and gives up
    // every record that save had taken in, by the user's choice, which the end
    // check would count as lost. The user here always takes the working copy.
    const bool keep = FKeep || asked.contains(QStringLiteral("does not match the working copy"));
    const bool agree = keep || FRng() % 5 != 0;
    const int answer = [&] {
        if (agree) {
            for (TMsgDlgBtn b : { mbYes, mbYesToAll, mbOK, mbAll, mbRetry, mbIgnore, mbClose })
                if (Buttons.contains(b))
                    return ModalResultOf(b);
        }
        for (TMsgDlgBtn b : { mbNo, mbCancel, mbNoToAll, mbAbort, mbOK })
            if (Buttons.contains(b))
                return ModalResultOf(b);
        return int(mrCancel);
    }();
    std::fprintf(stderr, "%s asked: %s (answer %d)\n", qPrintable(UserIdentity()), qPrintable(asked), answer);
    return answer;
}

// ------------------------------------------------------------------ TUserSoak

TUserSoak::TUserSoak(TMainForm &form, const QString &document, const QString &control, unsigned seed)
    : FForm(form)
    , FDocument(document)
    , FControl(control)
    , FRng(seed)
    , FMe(UserIdentity())
    , FLog(control + FMe + QStringLiteral(".edits"))
    , FMoves(control + FMe + QStringLiteral(".moves"))
    , FAnswers(FRng)
{
    FMoves.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    FPreviousAnswers = SetMessageDialogs(&FAnswers);
    Probe(FForm).SetFileDialogs(std::make_unique<TCancelledFileDialogs>());
    FLog.SetStoredForm([this](TWhichTable table, int column, const QString &text) {
        Document &doc = Probe(FForm).Doc();
        if (doc.GetColumnType(table, column) != ctDate)
            return text;
        // A text that is no date stays in the cell as written.
        TDateTime date = 0;
        if (!doc.TryStrToDateTime(text, date))
            return text;
        return date == 0 ? QString() : doc.FormatDateTime(date);
    });
}

TUserSoak::~TUserSoak()
{
    SetMessageDialogs(FPreviousAnswers);
}

void TUserSoak::Say(const QString &what) const
{
    std::fprintf(stderr, "%s %s\n", qPrintable(FMe), qPrintable(what));
}

int TUserSoak::Fail(const QString &what)
{
    Say(QStringLiteral("failed: %1 (%2)").arg(what, Probe(FForm).Commands().Watcher().ErrorText()));
    return 6;
}

void TUserSoak::Turn(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    Tap();
    NoteStoredWhenSafe();
}

void TUserSoak::Tap()
{
    Document &doc = Probe(FForm).Doc();
    IDiffSink *current = doc.DiffSink();
    if (current == &FLog || !current)
        return;
    FLog.SetTarget(current);
    doc.SetDiffSink(&FLog);
}

void TUserSoak::NoteStoredWhenSafe()
{
    TDirWatchThread &watcher = Probe(FForm).Commands().Watcher();
    if (FLog.Unconfirmed() && watcher.NumPendingEvents() == 0 && !watcher.Error()
        && !Probe(FForm).Commands().FileName().isEmpty())
        FLog.Stored();
}

int TUserSoak::Run()
{
    FForm.resize(1280, 800);
    FForm.show();
    QApplication::setActiveWindow(&FForm);
    if (!FForm.Open(FDocument))
        return Fail(QStringLiteral("the document did not open"));
    FLog.Note(QStringLiteral("start"));
    Answering();
    Turn(300);
    const QString finish = FControl + QStringLiteral("finish");
    QElapsedTimer alive;
    alive.start();
    const std::vector<std::pair<int, void (TUserSoak::*)()>> moves { { 14, &TUserSoak::ClickChart },
        { 9, &TUserSoak::DragChart }, { 3, &TUserSoak::RightDragChart }, { 4, &TUserSoak::WheelChart },
        { 2, &TUserSoak::ClickOverview }, { 14, &TUserSoak::ClickTable }, { 10, &TUserSoak::KeysInTable },
        { 4, &TUserSoak::ClickHeader }, { 12, &TUserSoak::TypeInEditor }, { 5, &TUserSoak::PasteRows },
        { 3, &TUserSoak::CopyAndPaste }, { 4, &TUserSoak::DeleteRows }, { 5, &TUserSoak::UndoRedo },
        { 3, &TUserSoak::SwitchPage }, { 2, &TUserSoak::SwitchGroupTab }, { 2, &TUserSoak::Zoom },
        { 2, &TUserSoak::Find }, { 1, &TUserSoak::Save } };
    int total = 0;
    for (const auto &move : moves)
        total += move.first;
    while (!QFileInfo::exists(finish)) {
        // An orphan (its harness gone) stops by itself.
        if (!QFileInfo::exists(FControl) || alive.elapsed() > 4 * 3600 * 1000)
            return 9;
        int pick = int(FRng() % unsigned(total));
        for (const auto &[weight, move] : moves) {
            if (pick < weight) {
                (this->*move)();
                break;
            }
            pick -= weight;
        }
        FMoves.write(".", 1);
        Turn(5 + int(FRng() % 40));
    }
    const int peers = QString::fromLatin1(ReadAll(finish)).trimmed().toInt();
    if (peers <= 0)
        return Fail(QStringLiteral("the finish file holds no count of instances"));
    return Finish(peers);
}

// ------------------------------------------------------------------ geometry

QWidget &TUserSoak::ChartPanel() const
{
    return Probe(FForm).Chart().TimeChart();
}

QPoint TUserSoak::RandomPointIn(const QWidget &widget)
{
    return { int(FRng() % unsigned(std::max(1, widget.width()))),
        int(FRng() % unsigned(std::max(1, widget.height()))) };
}

QPoint TUserSoak::PointOnChart(bool onBar, bool atEdge)
{
    QWidget &panel = ChartPanel();
    if (onBar) {
        // The bars the chart shows now.
        std::vector<QRect> bars;
        Document &doc = Probe(FForm).Doc();
        for (TWhichTable table : { tbTable, tbExclude }) {
            const DocumentTable &rows = doc.GetTable(table);
            for (TNodeData *row = rows.First(); row; row = rows.Next(row)) {
                const QRect bar
                    = ToQRect(Probe(FForm).Chart().ItemRect(row, false)).intersected(panel.rect());
                if (bar.width() > 2 && bar.height() > 2)
                    bars.push_back(bar);
            }
        }
        if (!bars.empty()) {
            const QRect bar = bars[FRng() % bars.size()];
            const int y = bar.top() + 1 + int(FRng() % unsigned(std::max(1, bar.height() - 2)));
            if (atEdge)
                return { FRng() % 2 ? bar.left() + 1 : bar.right() - 1, y };
            return { bar.left() + 1 + int(FRng() % unsigned(std::max(1, bar.width() - 2))), y };
        }
    }
    return RandomPointIn(panel);
}

QWidget &TUserSoak::Focused() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? *focus : static_cast<QWidget &>(FForm);
}

void TUserSoak::Key(QWidget &widget, int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(&widget, Qt::Key(key), modifiers);
}

// ------------------------------------------------------------------ moves

namespace {

// Types text as key presses; a character beyond ASCII comes as the key event's
// text, as an input method gives it.
void TypeText(QWidget &widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(&widget, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

Qt::KeyboardModifiers SomeModifiers(std::mt19937 &rng)
{
    switch (rng() % 8) {
    case 0:
        return Qt::ControlModifier;
    case 1:
        return Qt::ShiftModifier;
    default:
        return {};
    }
}

void SendMouse(QWidget &widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
    Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, buttons, modifiers);
    QCoreApplication::sendEvent(&widget, &event);
}

// A press, a few moves and a release with the button held.
void Drag(QWidget &widget, QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
    const std::function<void(int)> &turn)
{
    SendMouse(widget, QEvent::MouseButtonPress, from, button, button, modifiers);
    turn(5);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        if (!widget.isVisible())
            return;
        SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, button, modifiers);
        turn(10);
    }
    SendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
}

} // namespace

void TUserSoak::ClickChart()
{
    const QPoint at = PointOnChart(FRng() % 10 < 7, false);
    if (FRng() % 6 == 0)
        QTest::mouseDClick(&ChartPanel(), Qt::LeftButton, {}, at);
    else
        QTest::mouseClick(&ChartPanel(), Qt::LeftButton, SomeModifiers(FRng), at);
}

void TUserSoak::DragChart()
{
    const bool onBar = FRng() % 10 < 7;
    const QPoint from = PointOnChart(onBar, onBar && FRng() % 3 == 0);
    const QPoint to = from + QPoint(int(FRng() % 241) - 120, int(FRng() % 121) - 60);
    Drag(ChartPanel(), from, to, Qt::LeftButton, SomeModifiers(FRng), [this](int ms) { Turn(ms); });
}

void TUserSoak::RightDragChart()
{
    const QPoint from = PointOnChart(FRng() % 2 == 0, false);
    // A short one opens the chart's menu, a long one scrolls.
    const QPoint to = FRng() % 2 ? from : from + QPoint(int(FRng() % 301) - 150, int(FRng() % 101) - 50);
    Drag(ChartPanel(), from, to, Qt::RightButton, {}, [this](int ms) { Turn(ms); });
}

void TUserSoak::WheelChart()
{
    QWidget &panel = ChartPanel();
    const QPoint at = RandomPointIn(panel);
    const int delta = FRng() % 2 ? 120 : -120;
    const Qt::KeyboardModifiers modifiers = FRng() % 3 == 0 ? Qt::ControlModifier : SomeModifiers(FRng);
    QWheelEvent wheel(QPointF(at), QPointF(panel.mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
        modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&panel, &wheel);
}

void TUserSoak::ClickOverview()
{
    QWidget &overview = Probe(FForm).Chart().SmallTimeChart();
    if (overview.isVisible())
        QTest::mouseClick(&overview, Qt::LeftButton, {}, RandomPointIn(overview));
}

void TUserSoak::ClickTable()
{
    TStringGridTree &tree = Probe(FForm).ActiveTree();
    QWidget &rows = *tree.viewport();
    QPoint at = RandomPointIn(rows);
    // Mostly on a row of the table rather than anywhere.
    if (FRng() % 3) {
        const DocumentTable &table = Probe(FForm).Doc().GetTable(Probe(FForm).GetActiveTable());
        const int count = Probe(FForm).Doc().TotalCount(Probe(FForm).GetActiveTable());
        TNodeData *row = table.First();
        for (int skip = count > 0 ? int(FRng() % unsigned(count)) : 0; row && skip > 0; --skip)
            row = table.Next(row);
        if (row && row->VNode) {
            const QRect place = ToQRect(tree.GetDisplayRect(row->VNode, -1, false));
            if (rows.rect().contains(place.center()))
                at = place.center();
        }
    }
    switch (FRng() % 10) {
    case 0:
        QTest::mouseClick(&rows, Qt::RightButton, {}, at);
        break;
    case 1:
        QTest::mouseDClick(&rows, Qt::LeftButton, {}, at);
        break;
    default:
        QTest::mouseClick(&rows, Qt::LeftButton, SomeModifiers(FRng), at);
    }
}

void TUserSoak::KeysInTable()
{
    TStringGridTree &tree = Probe(FForm).ActiveTree();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RandomPointIn(*tree.viewport()));
    static const int keys[] = { Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
        Qt::Key_End, Qt::Key_Left, Qt::Key_Right, Qt::Key_Space, Qt::Key_A, Qt::Key_M, Qt::Key_1 };
    for (int n = 1 + int(FRng() % 4); n > 0; --n) {
        const int key = keys[FRng() % std::size(keys)];
        Key(Focused(), key,
            key >= Qt::Key_A && key <= Qt::Key_Z ? Qt::KeyboardModifiers() : SomeModifiers(FRng));
        Turn(5);
    }
    // The table commands by their keys.
    switch (FRng() % 6) {
    case 0:
        Key(Focused(), Qt::Key_T, Qt::ControlModifier); // add a task
        break;
    case 1:
        Key(Focused(), Qt::Key_A, Qt::ControlModifier);
        break;
    default:
        break;
    }
}

void TUserSoak::ClickHeader()
{
    TStringGridTree &tree = Probe(FForm).ActiveTree();
    const int columns = tree.Header().Columns().Count();
    if (columns <= 0)
        return;
    int left = 0, right = 0;
    tree.Header().Columns().GetColumnBounds(int(FRng() % unsigned(columns)), left, right);
    // The left part of a caption opens the column's filter, the rest sorts.
    const int dx = 2 + int(FRng() % unsigned(std::max(1, right - left - 4)));
    const QPoint at(left + dx - tree.horizontalScrollBar()->value(), tree.Header().Height() / 2);
    QTest::mouseClick(&tree.HeaderWidget(), FRng() % 8 ? Qt::LeftButton : Qt::RightButton, {}, at);
}

void TUserSoak::TypeInEditor()
{
    if (!Probe(FForm).Editor().EditorVisible())
        return;
    std::vector<QWidget *> fields;
    for (QWidget *child : Probe(FForm).Editor().EditorScrollBox().findChildren<QWidget *>()) {
        if (!child->isVisible() || !child->isEnabled())
            continue;
        if (qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child)
            || qobject_cast<QCheckBox *>(child) || qobject_cast<TCanvasPanel *>(child))
            fields.push_back(child);
    }
    if (fields.empty())
        return;
    QWidget &field = *fields[FRng() % fields.size()];
    if (auto *box = qobject_cast<QComboBox *>(&field)) {
        Key(*box, FRng() % 2 ? Qt::Key_Down : Qt::Key_Up);
        return;
    }
    // The editor may make its fields anew at any turn of the event loop.
    const QPointer<QLineEdit> edit = qobject_cast<QLineEdit *>(&field);
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(std::min(6, field.width() / 2), field.height() / 2));
    if (!edit)
        return; // a check box or a date button: the click was it
    Turn(5);
    if (!edit)
        return;
    edit->selectAll(); // what a triple click does
    QString text;
    switch (FRng() % 4) {
    case 0:
        text = Probe(FForm).Doc().FormatDateTime(46000 + int(FRng() % 40));
        break;
    case 1:
        text = QString::number(1 + FRng() % 9);
        break;
    default:
        text = QString::fromUtf8(kWords[FRng() % std::size(kWords)]) + QLatin1Char(' ') + FMe
            + QLatin1Char('-') + QString::number(++FCount);
    }
    for (const QChar c : text) {
        if (!edit)
            return;
        TypeText(*edit, QString(c));
    }
    if (edit && FRng() % 2)
        Key(*edit, FRng() % 2 ? Qt::Key_Return : Qt::Key_Tab);
}

void TUserSoak::PasteRows()
{
    Document &doc = Probe(FForm).Doc();
    const TWhichTable table = Probe(FForm).GetActiveTable();
    const int columns = doc.GetTableColCount(table);
    const int positionColumn = doc.GetConnection(table, cnPosition);
    QStringList lines;
    for (int n = 1 + int(FRng() % 3); n > 0; --n) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) {
            if (c == positionColumn) {
                cells << (FRng() % 6 == 0 ? QStringLiteral("-9") : QString::number(FRng() % 5));
                continue;
            }
            switch (doc.GetColumnType(table, c)) {
            case ctDate:
                cells << doc.FormatDateTime(46000 + int(FRng() % 40));
                break;
            case ctNumber:
                cells << QString::number(1 + FRng() % 6);
                break;
            case ctCheckBox:
                cells << (FRng() % 2 ? QStringLiteral("Ja") : QStringLiteral("Nein"));
                break;
            default:
                cells << QStringLiteral("pasted %1-%2").arg(FMe).arg(++FCount);
            }
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    QGuiApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    if (FRng() % 3 == 0) {
        // "paste Task here" from the chart's menu.
        const QPoint at = PointOnChart(false, false);
        Drag(ChartPanel(), at, at, Qt::RightButton, {}, [this](int ms) { Turn(ms); });
        return;
    }
    TStringGridTree &tree = Probe(FForm).ActiveTree();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RandomPointIn(*tree.viewport()));
    Key(Focused(), Qt::Key_V, Qt::ControlModifier);
}

void TUserSoak::CopyAndPaste()
{
    ClickTable();
    Key(Focused(), FRng() % 4 ? Qt::Key_C : Qt::Key_X, Qt::ControlModifier);
    Turn(5);
    Key(Focused(), Qt::Key_V, Qt::ControlModifier);
}

void TUserSoak::DeleteRows()
{
    ClickTable();
    if (FRng() % 3 == 0)
        ClickTable();
    Key(Focused(), Qt::Key_Delete);
}

void TUserSoak::UndoRedo()
{
    for (int n = 1 + int(FRng() % 3); n > 0; --n) {
        Key(Focused(), Qt::Key_Z, FRng() % 3 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        Turn(5);
    }
}

void TUserSoak::SwitchPage()
{
    QTabBar &tabs = *Probe(FForm).PageControl1().tabBar();
    const int tab = int(FRng() % unsigned(std::max(1, tabs.count())));
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
}

void TUserSoak::SwitchGroupTab()
{
    QTabBar &tabs = Probe(FForm).Chart().TabControl1();
    if (!tabs.isVisible() || tabs.count() == 0)
        return;
    const int tab = int(FRng() % unsigned(tabs.count()));
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
}

void TUserSoak::Zoom()
{
    // The zoom box where the window has one, else Ctrl and the wheel over the chart.
    auto *box = FForm.findChild<QComboBox *>(QStringLiteral("ZoomComboBox"));
    if (box && box->isVisible() && box->isEnabled()) {
        Key(*box, FRng() % 2 ? Qt::Key_Down : Qt::Key_Up);
        return;
    }
    QWidget &panel = ChartPanel();
    const QPoint at = RandomPointIn(panel);
    QWheelEvent wheel(QPointF(at), QPointF(panel.mapToGlobal(at)), QPoint(),
        QPoint(0, FRng() % 2 ? 120 : -120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&panel, &wheel);
}

void TUserSoak::Find()
{
    QLineEdit &find = Probe(FForm).Edit2();
    if (!find.isVisible())
        return;
    QTest::mouseClick(&find, Qt::LeftButton, {}, QPoint(4, find.height() / 2));
    find.selectAll();
    TypeText(find, QString::fromUtf8(kWords[FRng() % std::size(kWords)]).left(1 + int(FRng() % 4)));
    Turn(5);
    if (FRng() % 2)
        Key(find, Qt::Key_Return);
    else
        QTest::mouseClick(&Probe(FForm).ToolButton17(), Qt::LeftButton);
}

void TUserSoak::Save()
{
    Key(Focused(), Qt::Key_S, Qt::ControlModifier);
}

// ------------------------------------------------------------------ dialogs and menus

void TUserSoak::Answering()
{
    // The next look is armed before this one acts: a choice here may open a
    // popup or a dialog in a loop of its own, and a timer is never fired again
    // while its own handler runs, so a repeating one would never answer it.
    QTimer::singleShot(40, &FAnswerContext, [this] { Answering(); });
    AnswerOpenWindows();
}

void TUserSoak::AnswerOpenWindows()
{
    QWidget *open = QApplication::activePopupWidget();
    if (!open)
        open = QApplication::activeModalWidget();
    if (!open || std::find(FAnswered.begin(), FAnswered.end(), open) != FAnswered.end())
        return;
    FAnswered.push_back(open);
    if (FClosing) {
        Dismiss(*open);
    } else if (const QPointer<QWidget> popup = QApplication::activePopupWidget()) {
        if (auto *menu = qobject_cast<QMenu *>(popup))
            AnswerMenu(*menu);
        else if (FRng() % 3 == 0)
            Key(*popup, Qt::Key_Escape);
        else {
            // A filter or date popup: perhaps another choice, then Enter.
            const QList<QAbstractButton *> buttons = popup->findChildren<QAbstractButton *>();
            if (!buttons.isEmpty() && FRng() % 2) {
                QAbstractButton *button = buttons[qsizetype(FRng() % buttons.size())];
                if (button->isVisible() && button->isEnabled())
                    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
            }
            if (popup && QApplication::activePopupWidget() == popup)
                Key(*popup, Qt::Key_Return);
        }
    } else {
        AnswerDialog(*open);
    }
    FAnswered.pop_back();
}

void TUserSoak::Dismiss(QWidget &window)
{
    Say(QStringLiteral("closes %1").arg(QString::fromLatin1(window.metaObject()->className())));
    Key(window, Qt::Key_Escape);
}

void TUserSoak::AnswerMenu(QMenu &menu)
{
    std::vector<QAction *> choices;
    const bool anyEntry = &menu == Probe(FForm).Menus().SortMenu || &menu == Probe(FForm).Menus().FilterMenu;
    for (QAction *action : menu.actions()) {
        if (action->isSeparator() || !action->isVisible() || !action->isEnabled() || action->menu())
            continue;
        if (anyEntry || kMenuActions.contains(action->objectName()))
            choices.push_back(action);
    }
    if (choices.empty() || FRng() % 5 == 0) {
        std::fprintf(stderr, "%s menu: %s closed\n", qPrintable(FMe), qPrintable(menu.objectName()));
        Key(menu, Qt::Key_Escape);
        return;
    }
    QAction *choice = choices[FRng() % choices.size()];
    std::fprintf(stderr, "%s menu: %s %s\n", qPrintable(FMe), qPrintable(menu.objectName()),
        qPrintable(choice->objectName().isEmpty() ? choice->text() : choice->objectName()));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(choice).center());
}

void TUserSoak::AnswerDialog(QWidget &dialog)
{
    std::vector<QAbstractButton *> buttons;
    for (QAbstractButton *button : dialog.findChildren<QPushButton *>())
        if (button->isVisible() && button->isEnabled())
            buttons.push_back(button);
    if (buttons.empty() || FRng() % 4 == 0) {
        std::fprintf(stderr, "%s dialog: %s key\n", qPrintable(FMe), dialog.metaObject()->className());
        Key(dialog, FRng() % 2 ? Qt::Key_Escape : Qt::Key_Return);
        return;
    }
    QAbstractButton *button = buttons[FRng() % buttons.size()];
    std::fprintf(stderr, "%s dialog: %s %s\n", qPrintable(FMe), dialog.metaObject()->className(),
        qPrintable(button->text()));
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// ------------------------------------------------------------------ the end

// How long an instance at the end waits for storing or for the others before
// it gives up: only a guard against hanging for ever (the harness judges and
// may stop it sooner), since a loaded machine makes every step slow.
constexpr qint64 kPatienceMs = 20 * 60 * 1000;

bool TUserSoak::StoreEverything(TDocumentCommands &commands)
{
    // A folder left locked by an instance killed while saving is released by
    // saving, as its user would when asked on closing.
    QElapsedTimer clock, locked, report;
    clock.start();
    report.start();
    while (clock.elapsed() < kPatienceMs && QFileInfo::exists(FControl)) {
        Turn(20);
        TDirWatchThread &watcher = commands.Watcher();
        if (report.elapsed() > 30000) {
            Say(QStringLiteral("still storing: locked %1, error %2, reload %3, pending %4")
                    .arg(watcher.isLocked())
                    .arg(watcher.Error())
                    .arg(watcher.NeedReload())
                    .arg(watcher.NumPendingEvents()));
            report.restart();
        }
        if (watcher.Error() || (watcher.isLocked() && locked.isValid() && locked.elapsed() > 2000)) {
            commands.Save(commands.FileName());
            locked.invalidate();
            continue;
        }
        if (watcher.isLocked()) {
            if (!locked.isValid())
                locked.start();
            continue;
        }
        locked.invalidate();
        if (watcher.ForceStorePending() && !watcher.Error())
            return true;
    }
    return false;
}

int TUserSoak::Finish(int peers)
{
    Say(QStringLiteral("finishes"));
    FAnswers.SetKeepEverything(true);
    // Whatever is still open goes, and so does whatever a late event opens.
    FClosing = true;
    for (int i = 0; i < 200 && (QApplication::activePopupWidget() || QApplication::activeModalWidget()); ++i)
        Turn(50);
    TDocumentCommands &commands = Probe(FForm).Commands();
    if (!StoreEverything(commands))
        return Fail(QStringLiteral("records could not be stored"));
    FLog.Stored();
    QFile(FControl + FMe + QStringLiteral(".done")).open(QIODevice::WriteOnly);
    Say(QStringLiteral("stored everything, waits for the others"));
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (clock.elapsed() > kPatienceMs || !QFileInfo::exists(FControl))
            return Fail(QStringLiteral("the others did not finish"));
        Turn(20);
        if (commands.Watcher().Error())
            return Fail(QStringLiteral("sharing failed"));
        const int done = int(QDir(FControl).entryList({ QStringLiteral("*.done") }, QDir::Files).size());
        if (done >= peers)
            break;
    }
    // Nobody writes any more: one more look at the document and the folder.
    Turn(500);
    TDirWatchThread &watcher = commands.Watcher();
    watcher.StopBackgroundThread();
    watcher.UpdatePending();
    if (watcher.NeedReload() && !commands.Reload())
        return Fail(QStringLiteral("reload failed"));
    commands.Watcher().ForceLoadTransactions();
    if (commands.Watcher().NumPendingEvents() != 0 || commands.Watcher().NumPendingConflicts() != 0)
        return Fail(QStringLiteral("records or conflicts left"));
    // The tables as the folder holds them: a cell this instance shows as typed
    // (a date column's text that is no date) reads back as every instance has it.
    if (!commands.Reload())
        return Fail(QStringLiteral("the last reload failed"));
    commands.Watcher().StopBackgroundThread();
    QFile dump(FControl + FMe + QStringLiteral(".dump"));
    if (!dump.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Fail(QStringLiteral("the dump cannot be written"));
    dump.write(TableDump(Probe(FForm).Doc(), false).toUtf8());
    Say(QStringLiteral("wrote its tables"));
    return 0;
}

} // namespace usersoak
