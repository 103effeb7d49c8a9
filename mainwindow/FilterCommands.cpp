#include "mainwindow/FilterCommands.h"

#include "controls/DateTimePopup.h"
#include "document/Document.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "mainwindow/FilterPopup.h"
#include "tables/FilterPass.h"

#include <QGuiApplication>
#include <QScreen>

TFilterCommands::TFilterCommands(Document &Doc, IFilterHost &Host, QWidget *PopupOwner)
    : FDoc(Doc)
    , FHost(Host)
    , FFilterPopup(new TFilterPopup(PopupOwner))
{
    connect(FFilterPopup, &TFilterPopup::Deactivated, this, &TFilterCommands::OnFilterPopupDeactivate);
}

TFilterCommands::~TFilterCommands()
{
    if (!FFilterPopup)
        return;
    FFilterPopup->disconnect(this);
    if (!FFilterPopup->parent())
        delete FFilterPopup;
}

void TFilterCommands::ActionFilterExecute(TWhichTable Table, int Column)
{
    const THeaderData *header = FDoc.GetHeader(Table, Column);
    if (!header)
        return;
    FHost.InvalidateHeader(Table);
    TFilterPopupFill fill;
    fill.Caption = Translate(QStringLiteral("Filter Column %s"), { FDoc.GetColumnCaption(Table, Column) });
    fill.ColumnType = header->ColumnType;
    fill.Filter = header->Filter;
    if (fill.ColumnType == ctDate) {
        TDateTime date = 0;
        if (FDoc.TryStrToDateTime(fill.Filter.Text1, date))
            fill.DateFrom = ToQDate(date);
        if (FDoc.TryStrToDateTime(fill.Filter.text2, date))
            fill.DateTill = ToQDate(date);
    }
    if (fill.ColumnType == ctText || fill.ColumnType == ctPulldown || fill.ColumnType == ctLink)
        fill.ListItems = FilterListItems(FDoc, Table, Column);
    fill.PatternItems = DistinctColumnValues(FDoc, Table, Column);

    TFilterPopup &popup = *FFilterPopup;
    popup.SetColumn(Table, Column);
    popup.Fill(fill);

    // At the column's left edge on top of the tree; above the header when it
    // would pass the screen's bottom, and inside the screen on the right.
    QPoint place = FHost.ColumnTopLeft(Table, Column);
    const QScreen *screen = QGuiApplication::screenAt(place);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        if (place.y() + popup.height() > area.bottom() + 1)
            place.ry() -= popup.height() + FHost.HeaderHeight(Table);
        if (place.x() + popup.width() > area.right() + 1)
            place.setX(area.right() + 1 - popup.width());
    }
    popup.Popup(place);
}

void TFilterCommands::OnFilterPopupDeactivate()
{
    TFilterPopup &popup = *FFilterPopup;
    if (popup.ModalResult() != mrOk)
        return;
    const TWhichTable table = popup.Table();
    THeaderData *header = FDoc.GetHeader(table, popup.Column());
    if (!header)
        return;
    header->Filter = ApplyFilterChoice(FDoc, header->Filter, popup.Choice());
    FFilters.Store(
        table, FHost.CurrentGroupCaption(), FDoc.GetColumnCaption(table, popup.Column()), header->Filter);
    FilterData(table);
}

void TFilterCommands::FilterData(TWhichTable Table)
{
    const auto marks = ::FilterData(FDoc, Table);
    if (!marks)
        return;
    for (std::size_t column = 0; column < marks->size(); ++column)
        FHost.SetColumnMark(Table, int(column), (*marks)[column].image, (*marks)[column].description);
}

void TFilterCommands::ActionClearFilterExecute(TWhichTable Table, int Column)
{
    ClearFilter(FDoc, FFilters, FHost.CurrentGroupCaption(), Table, Column);
    FilterData(Table);
}

void TFilterCommands::ActionClearAllFiltersExecute(TWhichTable Table)
{
    ClearAllFilters(FDoc, FFilters, FHost.CurrentGroupCaption(), Table);
    FilterData(Table);
}

bool TFilterCommands::ActionClearAllFiltersUpdate(TWhichTable Table) const
{
    return AnyColumnFiltered(FDoc, Table);
}

void TFilterCommands::GroupChanged()
{
    FFilters.RestoreGroup(FDoc, FHost.CurrentGroupCaption());
    FilterData(tbTable);
    FilterData(tbExclude);
}

void TFilterCommands::FromSettings(const std::vector<TFilterSettings> &Settings)
{
    FFilters.FromSettings(Settings);
    GroupChanged();
}
