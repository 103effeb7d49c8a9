// Hand-built documents and a fake main window for the chart tests: the chart host
// records what the chart asks of the window, the document host passes the
// document's calls on to the chart as the main window does.
#pragma once

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "document/calendar/WeekInfo.h"
#include "document/text/CommaText.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QStringList>
#include <QStyleOptionSlider>
#include <memory>
#include <optional>

namespace charttest {

// What the chart asked of the main window.
class FakeChartHost : public ITimeChartHost {
public:
    QStringList events;
    TProgramSettings settings;
    std::optional<TColor> pickAnswer;
    TRect pickRect;
    TColor pickCurrent = 0;
    TDocumentSettings documentSettings;
    // The new-entry dialog: what it was shown, and its answer (the table chosen
    // when it is OK).
    std::optional<TNewEntry> shownEntry;
    std::optional<TWhichTable> entryAnswer;
    std::optional<TChartPopupActions> popup;
    int pasteable = 0;
    QStringList focused;
    int refiltered = 0;
    std::optional<bool> solveEnabled;

    void ShowUpdateState(const QString &text, bool busy) override
    {
        events << QStringLiteral("status '%1' %2").arg(text, busy ? "busy" : "idle");
    }
    void ShowZoom(int, const QString &caption) override { events << "zoom " + caption; }
    void ShowTransparency(int, const QString &caption) override { events << "transparency " + caption; }
    void ShowFont(const QString &name, int size) override
    {
        events << QStringLiteral("font %1 %2").arg(name).arg(size);
    }
    void ShowRowSet(TRowSet rowSet) override { events << QStringLiteral("rowset %1").arg(int(rowSet)); }
    void PositionGroupChanged(int tab, const QString &caption) override
    {
        events << QStringLiteral("group %1 %2").arg(tab).arg(caption);
    }
    std::optional<TColor> PickColor(TColor current, const TRect &screenRect) override
    {
        pickCurrent = current;
        pickRect = screenRect;
        return pickAnswer;
    }
    const TProgramSettings &ProgramSettings() const override { return settings; }
    const TDocumentSettings &DocumentSettings() const override { return documentSettings; }
    bool NewEntryDialog(TNewEntry &entry) override
    {
        shownEntry = entry;
        if (entryAnswer)
            entry.table = *entryAnswer;
        return entryAnswer.has_value();
    }
    int NumPasteableNodes() const override { return pasteable; }
    void TimeChartPopup(QPoint, QPoint, const TChartPopupActions &actions) override { popup = actions; }
    void FocusNode(TNodeData &node) override { focused << node.ID; }
    void RefilterNodes(TWhichTable, const std::vector<TNodeData *> &nodes) override
    {
        refiltered += int(nodes.size());
    }
    void SolveOverlappingEnabled(bool enabled) override { solveEnabled = enabled; }
};

// The main window's side of the document: passes run at once go to the chart,
// requested ones are counted for the idle tick; the bracket's text, the repaint of a
// row's bar and the colour flash go to the chart.
class ForwardingDocumentHost : public IDocumentHost {
public:
    TTimeChart *chart = nullptr;
    int passRequests = 0;

    void LayoutPassRequested() override { ++passRequests; }
    void RunLayoutPass(TLayoutPass pass) override
    {
        if (chart)
            chart->RunLayoutPass(pass);
    }
    void UpdateTextChanged(const QString &text, bool busy) override
    {
        if (chart)
            chart->DocumentUpdateTextChanged(text, busy);
    }
    void InvalidateNodeArea(const TNodeData &node, bool selected) override
    {
        if (chart)
            chart->InvalidateNodeArea(node, selected);
    }
    void StartFlashSelected() override
    {
        if (chart)
            chart->StartFlashSelected();
    }
    void RowBatchStarted() override
    {
        if (chart)
            chart->BeginAreaBatch();
    }
    void RowBatchEnded() override
    {
        if (chart)
            chart->EndAreaBatch();
    }
};

// A position item: name, the default week, and its number of chart rows.
inline QString PositionItem(const QString &name, int rows = 1, const tWeekInfo &week = DefaultWeekInfo())
{
    TCommaText item;
    item.Add(name);
    item.Add(WeekInfo2String(week));
    item.Add(QString::number(rows));
    return item.AsString();
}

// A document of the basic layout (Position, Start, End, Length, State, Comment,
// and a Deadline column), German date formats, with the chart in a window.
struct ChartFixture {
    FakeChartHost chartHost;
    ForwardingDocumentHost documentHost;
    std::unique_ptr<Document> doc;
    std::unique_ptr<TTimeChart> chart;

    static constexpr int DeadlineColumn = 6;

    ChartFixture()
    {
        FormatSettings() = TFormatSettings {};
        doc = std::make_unique<Document>(&documentHost);
        doc->SetIdentity("pc.tester");
        doc->ResizeTable(tbTable, 7);
        doc->SetColumnCaption(tbTable, DeadlineColumn, "Deadline");
        doc->SetColumnType(tbTable, DeadlineColumn, ctDate);
        doc->SetConnection(tbTable, cnTermin, DeadlineColumn);
        chart = std::make_unique<TTimeChart>(*doc, chartHost);
        documentHost.chart = chart.get();
    }
    ~ChartFixture()
    {
        documentHost.chart = nullptr;
        chart.reset();
    }

    // The positions, as items of the Position column.
    void SetPositions(const QStringList &items)
    {
        doc->SetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition), items);
    }

    TNodeData *AddTask(const QString &position, const QString &start, const QString &length,
        const QString &deadline = QString())
    {
        TNodeData *node = doc->AddNode(QString(), tbTable, true);
        doc->SetData(node, 0, position);
        doc->SetData(node, 1, start);
        doc->SetData(node, 3, length);
        if (!deadline.isEmpty())
            doc->SetData(node, DeadlineColumn, deadline);
        doc->GetEndOf(node);
        return node;
    }

    TNodeData *AddAbsence(const QString &position, const QString &start, const QString &days)
    {
        TNodeData *node = doc->AddNode(QString(), tbExclude, true);
        doc->SetData_(node, cnPosition, position);
        doc->SetData_(node, cnStart, start);
        doc->SetData_(node, cnLength, days);
        doc->GetEndOf(node);
        return node;
    }

    // The chart's window: the chart panel `width` x `height` pixels.
    void ShowChart(int width, int height)
    {
        chart->resize(width + 40, height + 200);
        chart->show();
        chart->TimeChart().setFixedSize(width, height);
        QCoreApplication::processEvents();
    }

    // Positions "P01", "P02", ...; a task on 1 March 2024 in the first row and one
    // of five days from Saturday 1 June in the last (the range: 16 February to 21
    // June, 126 days); the chart panel 400 x 300 (50 days, 7 rows of 42), laid out.
    void ShowPlan(int positions)
    {
        QStringList items;
        for (int p = 1; p <= positions; ++p)
            items << PositionItem(QStringLiteral("P%1").arg(p, 2, 10, QLatin1Char('0')));
        SetPositions(items);
        AddTask("P01", "01.03.2024", "1");
        AddTask(QStringLiteral("P%1").arg(positions, 2, 10, QLatin1Char('0')), "01.06.2024", "5");
        ShowChart(400, 300);
        chart->TabControl1Change(); // as after the setup dialogs: the overview takes the rows
        QCoreApplication::processEvents();
        chart->RunPendingLayoutPasses();
        Settle();
    }

    // Ticks the scroll animation until it stops.
    void Settle()
    {
        for (int tick = 0; tick < 200 && chart->SliderTimer().isActive(); ++tick)
            chart->SliderTimerTimer();
        QCoreApplication::processEvents();
    }
};

// The centre of a part of a scroll bar (arrow, groove, thumb) where the style puts it.
inline QPoint ScrollBarPart(QScrollBar &bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.state |= bar.orientation() == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = option.sliderValue = bar.value();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

inline TDateTime Day(int year, int month, int day)
{
    return EncodeDate(year, month, day);
}

} // namespace charttest
