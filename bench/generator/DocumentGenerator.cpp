#include "bench/generator/DocumentGenerator.h"

#include "document/calendar/WeekInfo.h"
#include "document/text/CommaText.h"

#include <array>
#include <random>

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
    const TDateTime firstDay = EncodeDate(2024, 1, 1);
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
    return doc.SaveTo(fileName, error);
}
