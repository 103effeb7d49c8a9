#include "dialogs/setup/gui/SetupTableDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "dialogs/setup/gui/EditTableColumnDialog.h"
#include "dialogs/setup/gui/RoleLabels.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"

#include <QDrag>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kShapeWidth = 100, kWideShapeWidth = 150, kShapeHeight = 21;
// The bar of the picture and the columns and rows of its nine text spots.
constexpr QRect kBar(70, 90, 320, 120);
constexpr int kSpotLeft[3] = { 75, 180, 285 };
constexpr int kSpotTop[3] = { 98, 139, 180 };

struct TRolePlace {
    const char *name; // the label's name without "Label"
    const char *title; // the role's name above its shape (none on the bar)
    QRect shape;
};

// In the order of kSetupRoles.
const TRolePlace kPlaces[kSetupRoles.size()] = {
    { "Start", "Start", { 20, 22, kShapeWidth, kShapeHeight } },
    { "Ende", "End", { 340, 22, kShapeWidth, kShapeHeight } },
    { "Termin", "Deadline", { 450, 22, kShapeWidth, kShapeHeight } },
    { "Dauer", "Duration", { 180, 22, kShapeWidth, kShapeHeight } },
    { "Position", "Position", { 20, 250, kWideShapeWidth, kShapeHeight } },
    { "Color", "Color", { 200, 250, kWideShapeWidth, kShapeHeight } },
    { "TopLeft", nullptr, { kSpotLeft[0], kSpotTop[0], kShapeWidth, kShapeHeight } },
    { "TopMiddle", nullptr, { kSpotLeft[1], kSpotTop[0], kShapeWidth, kShapeHeight } },
    { "TopRight", nullptr, { kSpotLeft[2], kSpotTop[0], kShapeWidth, kShapeHeight } },
    { "CenterLeft", nullptr, { kSpotLeft[0], kSpotTop[1], kShapeWidth, kShapeHeight } },
    { "CenterMiddle", nullptr, { kSpotLeft[1], kSpotTop[1], kShapeWidth, kShapeHeight } },
    { "CenterRight", nullptr, { kSpotLeft[2], kSpotTop[1], kShapeWidth, kShapeHeight } },
    { "BottomLeft", nullptr, { kSpotLeft[0], kSpotTop[2], kShapeWidth, kShapeHeight } },
    { "BottomMiddle", nullptr, { kSpotLeft[1], kSpotTop[2], kShapeWidth, kShapeHeight } },
    { "BottomRight", nullptr, { kSpotLeft[2], kSpotTop[2], kShapeWidth, kShapeHeight } },
};

std::size_t roleIndex(TConnection role)
{
    const auto at = std::find(kSetupRoles.begin(), kSetupRoles.end(), role);
    return std::size_t(at - kSetupRoles.begin());
}

TColor shapeColor(TRoleShapeState state)
{
    switch (state) {
    case TRoleShapeState::Selected:
        return clRoleShapeSelected;
    case TRoleShapeState::Invalid:
        return clRoleShapeInvalid;
    case TRoleShapeState::Normal:
        break;
    }
    return clRoleShape;
}

// The picture of a bar the role labels sit on: where a bar starts and ends,
// its length and deadline, and the nine spots of its texts.
class TBarPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), ToQColor(clBtnFace));
        painter.setPen(ToQColor(clGray));
        const int below = kPlaces[0].shape.bottom() + 1;
        painter.drawLine(kBar.left(), below, kBar.left(), kBar.top());
        painter.drawLine(kBar.right(), below, kBar.right(), kBar.top());
        const int arrow = kBar.top() - 16;
        painter.drawLine(kBar.left(), arrow, kBar.right(), arrow);
        painter.drawLine(kPlaces[3].shape.center().x(), below, kPlaces[3].shape.center().x(), arrow);
        const int deadline = kPlaces[2].shape.center().x();
        painter.drawLine(deadline, below, deadline, kBar.bottom());
        painter.setBrush(ToQColor(clGray));
        painter.drawPolygon(QPolygon({ QPoint(deadline - 5, kBar.top()), QPoint(deadline + 5, kBar.top()),
            QPoint(deadline, kBar.top() + 8) }));
        painter.setBrush(ToQColor(0xF5E6D2));
        painter.setPen(ToQColor(clBlack));
        painter.drawRect(kBar);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ToQColor(clSilver), 1, Qt::DotLine));
        for (std::size_t i = 0; i < kSetupRoles.size(); ++i) {
            if (IsTextSpot(kSetupRoles[i]))
                painter.drawRect(kPlaces[i].shape.adjusted(0, 0, -1, -1));
        }
    }
};

} // namespace

TColumnListView::TColumnListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void TColumnListView::startDrag(Qt::DropActions)
{
    if (OnStartDrag)
        OnStartDrag();
}

TSetupTableDialog::TSetupTableDialog(TSetupState &state, TSetupOk ok, QWidget *parent)
    : TSetupDialog(state, std::move(ok), TSetupSection::Table, parent)
    , FListView1(Named<TColumnListView>(this, "ListView1"))
    , FImage1(Named<TBarPicture>(this, "Image1"))
    , FButton1(Named<QPushButton>(this, "Button1", Translate(QStringLiteral("OK"))))
    , FButton2(Named<QPushButton>(this, "Button2", Translate(QStringLiteral("Edit Column"))))
    , FUpButton(Named<QToolButton>(this, "UpDown1Up"))
    , FDownButton(Named<QToolButton>(this, "UpDown1Down"))
    , FLabelPopupMenu(Named<QMenu>(this, "LabelPopupMenu"))
    , FListViewPopupMenu(Named<QMenu>(this, "ListViewPopupMenu"))
    , FEditColumnDialog(std::make_unique<TEditTableColumnDialog>(this))
{
    setObjectName(QStringLiteral("SetupTableDialog"));
    FListView1->setColumnCount(3);
    FListView1->header()->resizeSection(0, 120);
    FListView1->header()->resizeSection(1, 70);
    FUpButton->setArrowType(Qt::UpArrow);
    FDownButton->setArrowType(Qt::DownArrow);
    BuildPicture();

    FEditColumn = FListViewPopupMenu->addAction(Translate(QStringLiteral("Edit Column")));
    FListViewPopupMenu->addSeparator();
    FNewColumn = FListViewPopupMenu->addAction(Translate(QStringLiteral("new Column")));
    FDeleteColumn = FListViewPopupMenu->addAction(Translate(QStringLiteral("delete Column")));
    FEditColumn->setObjectName(QStringLiteral("EditColumn"));
    FNewColumn->setObjectName(QStringLiteral("neueSpalte1"));
    FDeleteColumn->setObjectName(QStringLiteral("Spaltelschen1"));

    auto *cancel = Named<QPushButton>(this, "Button3", Translate(QStringLiteral("Cancel")));
    auto *moves = new QVBoxLayout;
    moves->addWidget(FUpButton);
    moves->addWidget(FDownButton);
    moves->addStretch();
    auto *list = new QHBoxLayout;
    list->addWidget(FListView1, 1);
    list->addLayout(moves);
    auto *left = new QVBoxLayout;
    left->addLayout(list, 1);
    left->addWidget(FButton2, 0, Qt::AlignLeft);
    auto *sides = new QHBoxLayout;
    sides->addLayout(left, 1);
    sides->addWidget(FImage1, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addLayout(ButtonRow({ FButton1, cancel }));

    connect(FListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        ListView1Change();
        UpdateColors();
    });
    connect(FListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1DblClick(); });
    connect(FListView1, &QWidget::customContextMenuRequested, this,
        [this](QPoint pos) { FListViewPopupMenu->popup(FListView1->viewport()->mapToGlobal(pos)); });
    FListView1->OnStartDrag = [this] { ListView1StartDrag(); };
    connect(FButton2, &QPushButton::clicked, this, [this] { ListView1DblClick(); });
    connect(FEditColumn, &QAction::triggered, this, [this] { ListView1DblClick(); });
    connect(FNewColumn, &QAction::triggered, this, [this] { neueSpalte1Click(); });
    connect(FDeleteColumn, &QAction::triggered, this, [this] { Spaltelschen1Click(); });
    connect(FUpButton, &QToolButton::clicked, this, [this] { MoveSelected(-1); });
    connect(FDownButton, &QToolButton::clicked, this, [this] { MoveSelected(1); });
    connect(FButton1, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    FEditColumnDialog->OnEditResources = [this] {
        if (OnEditResources)
            OnEditResources();
    };
    resize(900, 380);
}

TSetupTableDialog::~TSetupTableDialog() = default;

void TSetupTableDialog::BuildPicture()
{
    FImage1->setFixedSize(560, 285);
    FImage1->setToolTip(Translate(QStringLiteral("Connection: (drag'n'drop)")));
    for (std::size_t i = 0; i < kSetupRoles.size(); ++i) {
        const TRolePlace &place = kPlaces[i];
        if (place.title) {
            QLabel *title = Named<QLabel>(FImage1, ("Title" + std::string(place.name)).c_str(),
                Translate(QString::fromLatin1(place.title)));
            title->setGeometry(place.shape.left(), place.shape.top() - 18, place.shape.width(), 16);
        }
        FShapes[i] = Named<TRoleShape>(FImage1, ("Shape" + std::string(place.name)).c_str());
        FShapes[i]->setGeometry(place.shape);
        FLabels[i] = Named<TRoleLabel>(FImage1, ("Label" + std::string(place.name)).c_str(), kSetupRoles[i]);
        FLabels[i]->setGeometry(place.shape);
        TRoleLabel &label = *FLabels[i];
        label.OnMouseMove = [this](TRoleLabel &l) { FActiveLabel = &l; };
        label.OnStartDrag = [this](TRoleLabel &l) { LabelStartDrag(l); };
        label.OnDragOver = [this](TRoleLabel &l) { return LabelDragOver(l); };
        label.OnDragDrop = [this](TRoleLabel &l) { LabelDragDrop(l); };
        label.OnContextPopup = [this](TRoleLabel &l, QPoint at) { LabelContextPopup(l, at); };
    }
}

TRoleLabel *TSetupTableDialog::Label(TConnection role) const
{
    const std::size_t i = roleIndex(role);
    return i < FLabels.size() ? FLabels[i] : nullptr;
}

TRoleShape *TSetupTableDialog::Shape(TConnection role) const
{
    const std::size_t i = roleIndex(role);
    return i < FShapes.size() ? FShapes[i] : nullptr;
}

TSetupRoleLabel &TSetupTableDialog::Binding(const TRoleLabel &label)
{
    return FTable.Label(label.Role());
}

void TSetupTableDialog::FormActivate()
{
    // The title and the column types follow a language chosen since the dialog was made.
    setWindowTitle(Translate(QStringLiteral("Edit Table \"Tasks\"")));
    FEditColumnDialog->TranslateTypes();
    FTable = State().table;
    FActiveLabel = nullptr;
    FListView1->setHeaderLabels({ Translate(QStringLiteral("Name")), Translate(QStringLiteral("Type")),
        Translate(QStringLiteral("Format")) });
    FListView1->clear();
    FillList();
    ListView1Change();
    UpdateColors();
}

void TSetupTableDialog::StoreSection()
{
    State().table = FTable;
}

int TSetupTableDialog::SelectedRow() const
{
    const QList<QTreeWidgetItem *> selected = FListView1->selectedItems();
    return selected.isEmpty() ? -1 : FListView1->indexOfTopLevelItem(selected.first());
}

void TSetupTableDialog::SelectRow(int row)
{
    QTreeWidgetItem *item = FListView1->topLevelItem(row);
    FListView1->setCurrentItem(item);
    if (item) {
        item->setSelected(true);
        FListView1->scrollToItem(item);
    }
}

void TSetupTableDialog::FillList()
{
    const int selected = SelectedRow();
    const QSignalBlocker quiet(FListView1);
    while (FListView1->topLevelItemCount() > int(FTable.columns.size()))
        delete FListView1->takeTopLevelItem(FListView1->topLevelItemCount() - 1);
    while (FListView1->topLevelItemCount() < int(FTable.columns.size()))
        FListView1->addTopLevelItem(new QTreeWidgetItem);
    for (int row = 0; row < int(FTable.columns.size()); ++row) {
        const TSetupColumn &column = FTable.columns[std::size_t(row)];
        QTreeWidgetItem *item = FListView1->topLevelItem(row);
        item->setText(0, column.caption);
        item->setText(1, Translate(ColumnTypeName(column.type)));
        // The items by what each shows (their comma text is for the document).
        item->setText(2, ItemValues(ParseCommaText(column.items)).join(QStringLiteral(", ")));
        item->setSelected(row == selected);
    }
}

void TSetupTableDialog::UpdateColors()
{
    const TTableSetupCheck check = CheckTableSetup(FTable);
    FValidConfiguration = check.Valid();
    const int row = SelectedRow();
    const QString selected = row >= 0 ? FTable.columns[std::size_t(row)].caption : QString();
    for (std::size_t i = 0; i < kSetupRoles.size(); ++i) {
        const TSetupRoleLabel &binding = FTable.labels[i];
        const TRoleShapeState shape = RoleShapeState(check, binding, selected);
        FLabels[i]->setText(binding.caption);
        FShapes[i]->SetBrushColor(shapeColor(shape));
        // A text spot's shape marks only the selected column's spot.
        FShapes[i]->setVisible(!IsTextSpot(binding.role) || shape == TRoleShapeState::Selected);
    }
}

void TSetupTableDialog::ListView1Change()
{
    const bool selected = SelectedRow() >= 0;
    for (QWidget *control : std::initializer_list<QWidget *> { FUpButton, FDownButton, FButton2 })
        control->setEnabled(selected);
    FEditColumn->setEnabled(selected);
    FDeleteColumn->setEnabled(selected);
}

void TSetupTableDialog::MoveSelected(int direction)
{
    const int row = SelectedRow();
    if (!FTable.MoveColumn(row, direction))
        return;
    FillList();
    SelectRow(row + (direction < 0 ? -1 : 1));
    UpdateColors();
}

void TSetupTableDialog::ListView1DblClick()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    const TSetupColumn column = FTable.columns[std::size_t(row)];
    if (!FEditColumnDialog->Execute(
            column, row == FTable.PositionColumn(), IsConnected(FTable, column.caption)))
        return;
    FTable.EditColumn(row, FEditColumnDialog->Name(), FEditColumnDialog->Type(), FEditColumnDialog->Lines());
    FillList();
    UpdateColors();
    FListView1->setFocus();
}

void TSetupTableDialog::neueSpalte1Click()
{
    const int row = FTable.AddColumn(Translate(QStringLiteral("New Column")), ctText, QString());
    FillList();
    SelectRow(row);
    UpdateColors();
    ListView1DblClick();
}

void TSetupTableDialog::Spaltelschen1Click()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    FTable.DeleteColumn(row);
    FillList();
    ListView1Change();
    UpdateColors();
}

void TSetupTableDialog::LabelContextPopup(TRoleLabel &label, QPoint globalPos)
{
    FActiveLabel = &label;
    FLabelPopupMenu->clear();
    QAction *clear = FLabelPopupMenu->addAction(Translate(QStringLiteral("Delete Connection")));
    clear->setObjectName(QStringLiteral("clearlabel"));
    connect(clear, &QAction::triggered, this, [this] {
        if (!FActiveLabel)
            return;
        Binding(*FActiveLabel).caption.clear();
        UpdateColors();
    });
    FLabelPopupMenu->addSeparator();
    for (const TSetupColumn &column : FTable.columns) {
        QAction *item = FLabelPopupMenu->addAction(column.caption);
        item->setEnabled(AllowDrag(label.Role(), column.type));
        connect(item, &QAction::triggered, this, [this, caption = column.caption, type = column.type] {
            if (!FActiveLabel)
                return;
            Binding(*FActiveLabel) = { FActiveLabel->Role(), caption, type };
            UpdateColors();
        });
    }
    FLabelPopupMenu->popup(globalPos);
}

Qt::DropAction TSetupTableDialog::RunDrag(QWidget &source)
{
    QPointer<QDrag> drag = new QDrag(&source);
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kSetupColumnMimeType), FDragCaption.toUtf8());
    drag->setMimeData(mime);
    FDragging = true;
    const Qt::DropAction action = DragRunner ? DragRunner(*drag) : drag->exec(Qt::MoveAction);
    FDragging = false;
    if (drag)
        drag->deleteLater();
    return action;
}

void TSetupTableDialog::ListView1StartDrag()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    FDragCaption = FTable.columns[std::size_t(row)].caption;
    FDragColumnType = FTable.columns[std::size_t(row)].type;
    RunDrag(*FListView1);
}

void TSetupTableDialog::LabelStartDrag(TRoleLabel &label)
{
    const TSetupRoleLabel &binding = Binding(label);
    if (binding.caption.isEmpty())
        return;
    FDragCaption = binding.caption;
    FDragColumnType = binding.type;
    RunDrag(label);
    LabelEndDrag(label);
}

bool TSetupTableDialog::LabelDragOver(TRoleLabel &label)
{
    FActiveLabel = &label;
    return FDragging && !FDragCaption.isEmpty() && AllowDrag(label.Role(), FDragColumnType);
}

void TSetupTableDialog::LabelDragDrop(TRoleLabel &label)
{
    // The target takes what is dragged and hands its own binding back to the
    // drag: a drag from another label swaps the two.
    TSetupRoleLabel &target = Binding(label);
    const TSetupRoleLabel previous = target;
    target.caption = FDragCaption;
    target.type = FDragColumnType;
    FDragCaption = previous.caption;
    FDragColumnType = previous.type;
    UpdateColors();
}

void TSetupTableDialog::LabelEndDrag(TRoleLabel &label)
{
    TSetupRoleLabel &source = Binding(label);
    if (FDragCaption.isEmpty() || AllowDrag(label.Role(), FDragColumnType)) {
        source.caption = FDragCaption;
        source.type = FDragColumnType;
    } else {
        source.caption.clear();
    }
    UpdateColors();
}
