#pragma once

#include "document/DocumentTypes.h"
#include "document/program/Settings.h"
#include "mainwindow/FilterPopup.h"
#include "tables/ColumnFilters.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <vector>

class Document;

// What the column filters need of the main window.
class IFilterHost {
public:
    virtual ~IFilterHost() = default;
    // The caption of the position-group tab shown now.
    virtual QString CurrentGroupCaption() const = 0;
    // The screen point at the column's left edge at the top of the table's tree,
    // and the height of its header.
    virtual QPoint ColumnTopLeft(TWhichTable Table, int Column) const = 0;
    virtual int HeaderHeight(TWhichTable Table) const = 0;
    // Repaints the table's header.
    virtual void InvalidateHeader(TWhichTable Table) = 0;
    // Gives a header column its filter image and hint.
    virtual void SetColumnMark(TWhichTable Table, int Column, int ImageIndex, const QString &Hint) = 0;
};

// The column filters of the main window: the popup that sets one, the stored
// copies per table, group tab and column (FFilters), refiltering and the
// header marks, and the clear commands.
class TFilterCommands : public QObject {
    Q_OBJECT
public:
    TFilterCommands(Document &Doc, IFilterHost &Host, QWidget *PopupOwner = nullptr);
    ~TFilterCommands() override;

    TFilterPopup &FilterPopup() const { return *FFilterPopup; }
    const TFilters &Filters() const { return FFilters; }

    // Opens the filter popup for a column of a table (ActionFilterExecute).
    void ActionFilterExecute(TWhichTable Table, int Column);
    // Refilters a table and marks its header (nothing while an update bracket is open).
    void FilterData(TWhichTable Table);
    // The clear commands on a table, and whether clearing all would change anything.
    void ActionClearFilterExecute(TWhichTable Table, int Column);
    void ActionClearAllFiltersExecute(TWhichTable Table);
    bool ActionClearAllFiltersUpdate(TWhichTable Table) const;
    // Another position-group tab is shown: the columns take the filters stored
    // for it and both tables are refiltered.
    void GroupChanged();

    // The stored filters in the per-document settings, and back (then the shown
    // tab's filters are applied).
    std::vector<TFilterSettings> ToSettings() const { return FFilters.ToSettings(); }
    void FromSettings(const std::vector<TFilterSettings> &Settings);

private:
    // The popup closed: with OK its choice becomes the column's filter.
    void OnFilterPopupDeactivate();

    Document &FDoc;
    IFilterHost &FHost;
    TFilters FFilters;
    QPointer<TFilterPopup> FFilterPopup;
};
