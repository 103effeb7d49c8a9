#include "bench/generator/DocumentGenerator.h"

#include "document/calendar/WeekInfo.h"
#include "document/text/CommaText.h"

#include <random>

void GenerateDocument(Document &doc, const GeneratorOptions &o)
{
    std::mt19937 random(o.seed);
    doc.ResetDocument();
    UpdateBracket bracket(doc, QStringLiteral("generating"));
    UndoRecordingPause noUndo(doc.UndoRedo());

    const QString week = WeekInfo2String(DefaultWeekInfo());
    QStringList positions;
    for (int p = 0; p < o.positions; ++p) {
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

    std::uniform_int_distribution<int> day(0, 365);
    std::uniform_int_distribution<int> length(1, 9);
    std::uniform_int_distribution<int> position(0, std::max(0, o.positions - 1));
    auto name = [&](int p) { return QStringLiteral("Machine %1").arg(p); };

    for (int i = 0; i < o.tasks; ++i) {
        TNodeData *row = doc.AddNode(QStringLiteral("gen.task.%1").arg(i), tbTable, false);
        doc.DoSetData_(row, cnPosition, name(position(random)), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(firstDay + day(random)), false);
        doc.DoSetData_(row, cnLength, QString::number(length(random)), false);
        doc.DoSetData_(row, cnTextCenterMiddle, QStringLiteral("Order %1").arg(i), false);
        for (int c = baseColumns; c < o.columns; ++c)
            doc.DoSetData(row, c, QStringLiteral("value %1/%2").arg(i).arg(c), false);
    }
    for (int i = 0; i < o.absentRows; ++i) {
        TNodeData *row = doc.AddNode(QStringLiteral("gen.absent.%1").arg(i), tbExclude, false);
        doc.DoSetData_(row, cnPosition, name(position(random)), false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(firstDay + day(random)), false);
        doc.DoSetData_(row, cnLength, QString::number(length(random) % 5 + 1), false);
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
