#pragma once

#include "document/DocumentTypes.h"
#include "document/calendar/PublicHoliday.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The document's setup: what the setup element of a document file holds beside
// the task table's columns and roles. The document holds one; the file readers
// and the setup dialogs take it and give it back whole.
struct TDocumentSetup {
    // The unit of the task lengths and whether dates carry a time.
    TMinUnit FMinUnit = muDay;
    // The working folders a save keeps (at least 10 are kept).
    int FMaxHistoryFiles = 30;
    // What a new absent row starts with: its reason, and whether its length
    // counts working days only.
    QString FDefaultHolidayReason;
    bool FDefaultCalcWorkdays = true;
    // Colours (0x00BBGGRR): one per item of the task table's colour column, one
    // per absence reason.
    std::vector<std::uint32_t> FColors;
    std::vector<std::uint32_t> FHolidayColors;
    // The absence reasons: the items of the absent-days table's reason column.
    QStringList FHolidayReasons;
    // Position groups: one comma text of position names per tab (tab 0, empty,
    // shows all), and the tabs' captions.
    QStringList FPositionGroup;
    QStringList FPositionGroupNames;
    // The row set (TRowSet) of every tab.
    std::vector<int> FRowSets;
    std::vector<THolidayData> FHolidayList;
    // The menu option "save compressed".
    bool FCompressedSave = true;
    // Chart view state stored with the document (written, never read back): the
    // row height in pixels for the shown row set, pixels per day at zoom 100 %
    // and the zoom in percent.
    int FTimeChartRowHeight = 54;
    int FTimeChartColWidth = 8;
    int FZoom = 100;

    bool operator==(const TDocumentSetup &) const = default;
};
