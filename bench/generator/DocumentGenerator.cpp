#include "bench/generator/DocumentGenerator.h"

#include "document/calendar/DateList.h"
#include "document/calendar/WeekInfo.h"
#include "document/text/CommaText.h"

#include <array>
#include <functional>
#include <random>
#include <set>

namespace {

// The bar text spots beside the centre one, which the basic table binds already.
constexpr std::array<TConnection, 8> ExtraTextRoles = { cnTextLeftTop, cnTextcenterTop, cnTextRightTop,
    cnTextLeftMiddle, cnTextRightMiddle, cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom };
constexpr std::array<const char *, 8> ExtraTextNames = { "LT", "CT", "RT", "LM", "RM", "LB", "CB", "RB" };

// A column of its own bound to `role`.
int AddRoleColumn(Document &doc, const QString &caption, TColumnType type, TConnection role)
{
    const int column = doc.GetTableColCount(tbTable);
    doc.ResizeTable(tbTable, column + 1);
    doc.SetColumnCaption(tbTable, column, caption);
    doc.SetColumnType(tbTable, column, type);
    doc.SetConnection(tbTable, role, column);
    return column;
}

} // namespace

GeneratorOptions GeneratorOptions::Picture()
{
    GeneratorOptions options;
    options.tasks = 60;
    options.absentRows = 6;
    options.positions = 8;
    options.spanDays = 60;
    options.deadlines = true;
    options.realistic = true;
    return options;
}

GeneratorOptions GeneratorOptions::Plan(int tasks, int absentRows, int positions)
{
    GeneratorOptions options = Picture();
    options.spanDays = 120;
    options.tasks = tasks;
    options.absentRows = absentRows;
    options.positions = positions;
    return options;
}

namespace {

// Days that are no working days of a position: weekends, public holidays and its
// absent days.
class TFreeDays {
public:
    explicit TFreeDays(const Document &doc)
    {
        for (const TDateListItem &entry : doc.AutoExcludeList())
            FHolidays.insert(qint64(DatePart(entry.start)));
    }
    // An absence of `days` working days from `first` on.
    void AddAbsence(int position, TDateTime first, int days)
    {
        for (qint64 day = qint64(DatePart(first)); days > 0; ++day) {
            if (Free(position, double(day)))
                continue;
            FAbsent.insert({ position, day });
            --days;
        }
    }
    bool Free(int position, TDateTime day) const
    {
        const int weekday = DayOfWeek(day); // 1 = Sunday
        return weekday == 1 || weekday == 7 || FHolidays.count(qint64(day))
            || FAbsent.count({ position, qint64(day) });
    }
    // The last of `days` working days of `position` from `start` on.
    TDateTime LastWorkingDay(int position, TDateTime start, int days) const
    {
        TDateTime day = DatePart(start);
        for (int left = days;; ++day)
            if (!Free(position, day) && --left == 0)
                return day;
    }

private:
    std::set<qint64> FHolidays;
    std::set<std::pair<int, qint64>> FAbsent;
};

// Absences first, on every third position; then the tasks of each position one
// after another from the first day, in working days of two to six, mostly with a
// gap of up to three days, now and then starting before the previous one ends.
void GenerateRealisticRows(
    Document &doc, const GeneratorOptions &o, TDateTime firstDay, const std::function<QString(int)> &name)
{
    std::mt19937 random(o.seed);
    std::uniform_int_distribution<int> length(2, 6);
    std::uniform_int_distribution<int> gap(0, 3);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> late(2, 8);
    std::uniform_int_distribution<int> day(0, std::max(0, o.spanDays));
    std::uniform_int_distribution<int> absence(1, 5);
    const int positions = std::max(1, o.positions);
    TFreeDays free(doc);
    for (int i = 0; i < o.absentRows; ++i) {
        const int p = (3 * i) % positions;
        const TDateTime start = firstDay + day(random);
        const int days = absence(random);
        TNodeData *row = doc.AddNode(QStringLiteral("gen.absent.%1").arg(i), tbExclude, false);
        doc.DoSetData_(row, cnPosition, name(p), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(start), false);
        doc.DoSetData_(row, cnLength, QString::number(days), false);
        free.AddAbsence(p, start, days);
    }
    const QStringList colorItems = doc.GetColumnStrings(tbTable, doc.GetConnection(tbTable, cnColor));
    std::vector<TDateTime> next(static_cast<std::size_t>(positions), 0.0);
    for (int p = 0; p < positions; ++p)
        next[std::size_t(p)] = firstDay + gap(random) + 3 * (p % 2);
    for (int i = 0; i < o.tasks; ++i) {
        const int p = i % positions;
        TDateTime &start = next[std::size_t(p)];
        while (free.Free(p, start))
            ++start;
        const int days = length(random);
        TNodeData *row = doc.AddNode(QStringLiteral("gen.task.%1").arg(i), tbTable, false);
        doc.DoSetData_(row, cnPosition, name(p), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(start), false);
        doc.DoSetData_(row, cnLength, QString::number(days), false);
        doc.DoSetData_(row, cnTextCenterMiddle, QStringLiteral("Order %1").arg(1000 + i), false);
        if (!colorItems.isEmpty())
            doc.DoSetDataIndex(row, doc.GetConnection(tbTable, cnColor), i % int(colorItems.size()), false);
        const TDateTime end = free.LastWorkingDay(p, start, days);
        if (o.deadlines) // most deadlines are kept, a few passed
            doc.DoSetData_(row, cnTermin,
                doc.FormatDateTime(end + (percent(random) < 8 ? -late(random) / 2 : late(random))), false);
        start = end + 1 + (percent(random) < 5 ? -1 : gap(random));
    }
}

} // namespace

void GenerateDocument(Document &doc, const GeneratorOptions &o)
{
    std::mt19937 random(o.seed);
    doc.ResetDocument();
    UpdateBracket bracket(doc, QStringLiteral("generating"));
    UndoRecordingPause noUndo(doc.UndoRedo());

    const QString week = WeekInfo2String(DefaultWeekInfo());
    QStringList positions;
    const int extraPositions
        = o.extraPlace == GeneratorOptions::TExtraPlace::FurtherPositions && o.extraTasks > 0 ? 10 : 0;
    for (int p = 0; p < o.positions + extraPositions; ++p) {
        TCommaText item;
        item.Add(QStringLiteral("Machine %1").arg(p));
        item.Add(week);
        item.Add(QString::number(p % 10 == 0 ? 2 : 1));
        positions.append(item.AsString());
    }
    doc.SetColumnStrings(tbTable, doc.GetConnection(tbTable, cnPosition), positions);
    const int baseColumns = doc.GetTableColCount(tbTable);
    if (o.columns > baseColumns) {
        doc.ResizeTable(tbTable, o.columns);
        for (int c = baseColumns; c < o.columns; ++c)
            doc.SetColumnCaption(tbTable, c, QStringLiteral("Info %1").arg(c));
    }
    const TDateTime firstDay = o.realistic ? EncodeDate(2024, 3, 18) : EncodeDate(2024, 1, 1);
    if (o.holidays) {
        // A year of public holidays, fixed and Easter-relative.
        TDocumentSetup setup = doc.Setup();
        setup.FHolidayList = { { QStringLiteral("New Year"), 1, 1, true, false },
            { QStringLiteral("Good Friday"), -2, 0, true, true },
            { QStringLiteral("Easter Monday"), 1, 0, true, true },
            { QStringLiteral("Labour Day"), 1, 5, true, false },
            { QStringLiteral("Ascension"), 39, 0, true, true },
            { QStringLiteral("Whit Monday"), 50, 0, true, true },
            { QStringLiteral("Corpus Christi"), 60, 0, true, true },
            { QStringLiteral("Unity Day"), 3, 10, true, false },
            { QStringLiteral("Christmas"), 25, 12, true, false },
            { QStringLiteral("Boxing Day"), 26, 12, true, false } };
        doc.SetSetup(std::move(setup));
        doc.updateAutoEntries(firstDay, firstDay + 730);
    }

    if (o.deadlines)
        AddRoleColumn(doc, QStringLiteral("Deadline"), ctDate, cnTermin);
    if (o.realistic) {
        GenerateRealisticRows(doc, o, firstDay, [](int p) { return QStringLiteral("Machine %1").arg(p); });
        return;
    }
    if (o.barTexts)
        for (std::size_t k = 0; k < ExtraTextRoles.size(); ++k)
            AddRoleColumn(doc, QString::fromLatin1(ExtraTextNames[k]), ctText, ExtraTextRoles[k]);

    std::uniform_int_distribution<int> day(0, std::max(0, o.spanDays));
    std::uniform_int_distribution<int> length(1, 9);
    std::uniform_int_distribution<int> position(0, std::max(0, o.positions - 1));
    auto name = [&](int p) { return QStringLiteral("Machine %1").arg(p); };

    // The additions draw from generators of their own: the basic rows stay as they are.
    std::mt19937 extraRandom(o.seed ^ 0x5EEDu);
    std::uniform_int_distribution<int> deadlineOffset(-3, 12);
    std::uniform_int_distribution<int> colorIndex(0, 2);
    const QStringList colorItems = doc.GetColumnStrings(tbTable, doc.GetConnection(tbTable, cnColor));
    auto addTask = [&](int i, int p, TDateTime start, int days) {
        TNodeData *row = doc.AddNode(QStringLiteral("gen.task.%1").arg(i), tbTable, false);
        doc.DoSetData_(row, cnPosition, name(p), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(start), false);
        doc.DoSetData_(row, cnLength, QString::number(days), false);
        doc.DoSetData_(row, cnTextCenterMiddle, QStringLiteral("Order %1").arg(i), false);
        for (int c = baseColumns; c < o.columns; ++c)
            doc.DoSetData(row, c, QStringLiteral("value %1/%2").arg(i).arg(c), false);
        if (o.deadlines)
            doc.DoSetData_(row, cnTermin, doc.FormatDateTime(start + deadlineOffset(extraRandom)), false);
        if (o.barTexts) {
            for (std::size_t k = 0; k < ExtraTextRoles.size(); ++k)
                doc.DoSetData_(
                    row, ExtraTextRoles[k], QStringLiteral("%1 %2").arg(ExtraTextNames[k]).arg(i), false);
            if (!colorItems.isEmpty())
                doc.DoSetDataIndex(row, doc.GetConnection(tbTable, cnColor),
                    colorIndex(extraRandom) % int(colorItems.size()), false);
        }
    };
    for (int i = 0; i < o.tasks; ++i) {
        const int p = position(random);
        const int start = day(random);
        addTask(i, p, firstDay + start, length(random));
    }
    for (int i = 0; i < o.absentRows; ++i) {
        TNodeData *row = doc.AddNode(QStringLiteral("gen.absent.%1").arg(i), tbExclude, false);
        doc.DoSetData_(row, cnPosition, name(position(random)), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(firstDay + day(random)), false);
        doc.DoSetData_(row, cnLength, QString::number(length(random) % 5 + 1), false);
    }

    std::uniform_int_distribution<int> extraPosition(
        o.positions, o.positions + std::max(0, extraPositions - 1));
    const bool after = o.extraPlace == GeneratorOptions::TExtraPlace::AfterSpan;
    for (int i = 0; i < o.extraTasks; ++i) {
        const int p = after ? position(extraRandom) : extraPosition(extraRandom);
        const TDateTime start = firstDay + day(extraRandom) + (after ? o.spanDays + 365 : 0);
        addTask(o.tasks + i, p, start, length(extraRandom));
    }
}

bool WriteGeneratedDocument(
    const QString &fileName, const GeneratorOptions &options, bool compressed, QString *error)
{
    Document doc;
    GenerateDocument(doc, options);
    doc.SetCompressedSave(compressed);
    const platform::Status saved = doc.SaveTo(fileName);
    if (!saved && error)
        *error = saved.reason();
    return saved.ok();
}
