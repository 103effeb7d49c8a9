#include "dialogs/setup/gui/OrganizePositionsDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/Translation.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TOrganizePositionsDialog::TOrganizePositionsDialog(TSetupState &state, TSetupOk ok, QWidget *parent)
    : TSetupDialog(state, std::move(ok), TSetupSection::Groups, parent)
    , FPageControl1(Named<QTabWidget>(this, "PageControl1"))
    , FSpeedButton1(Named<QPushButton>(this, "SpeedButton1", Translate(QStringLiteral("new Group"))))
    , FSpeedButton2(Named<QPushButton>(this, "SpeedButton2", Translate(QStringLiteral("delete Group"))))
    , FButton1(Named<QPushButton>(this, "Button1", Translate(QStringLiteral("OK"))))
{
    setObjectName(QStringLiteral("OrganizePositionsDialog"));
    setWindowTitle(Translate(QStringLiteral("Group resources...")));
    auto *cancel = Named<QPushButton>(this, "Button2", Translate(QStringLiteral("Cancel")));
    auto *groupButtons = new QHBoxLayout;
    groupButtons->addWidget(FSpeedButton1);
    groupButtons->addWidget(FSpeedButton2);
    groupButtons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groupButtons);
    layout->addWidget(FPageControl1, 1);
    layout->addLayout(ButtonRow({ FButton1, cancel }));

    connect(FSpeedButton1, &QPushButton::clicked, this, [this] {
        FGroups.AddPage(Translate(QStringLiteral("new Group")));
        AddGroup(int(FGroups.pages.size()) - 1);
    });
    connect(FSpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(FPageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    connect(FButton1, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 460);
}

QLineEdit *TOrganizePositionsDialog::NameEdit(int page) const
{
    QWidget *sheet = FPageControl1->widget(page);
    return sheet ? sheet->findChild<QLineEdit *>(QStringLiteral("Edit1")) : nullptr;
}

TColumnCheckList *TOrganizePositionsDialog::GetTree(int page) const
{
    QWidget *sheet = FPageControl1->widget(page);
    return sheet ? sheet->findChild<TColumnCheckList *>() : nullptr;
}

void TOrganizePositionsDialog::FormActivate()
{
    FGroups = State().groups;
    if (FGroups.pages.empty())
        FGroups.AddPage(QString());
    ClearGroups();
    for (int page = 0; page < int(FGroups.pages.size()); ++page)
        AddGroup(page);
    FPageControl1->setCurrentIndex(0);
    PageControl1Change();
}

void TOrganizePositionsDialog::StoreSection()
{
    State().groups = FGroups;
}

QString TOrganizePositionsDialog::Refusal()
{
    // Each group is a tab of the main window, told apart by its name.
    QStringList names { FPageControl1->tabText(0) };
    for (int page = 1; page < int(FGroups.pages.size()); ++page) {
        const QString name = FGroups.pages[std::size_t(page)].name.trimmed();
        QString refusal;
        if (name.isEmpty())
            refusal = Translate(QStringLiteral("Name of Group: every group needs a name."));
        else if (names.contains(name, Qt::CaseInsensitive))
            refusal = Translate(QStringLiteral("Name of Group: \"%s\" names two groups."), { name });
        if (!refusal.isEmpty()) {
            FPageControl1->setCurrentIndex(page);
            return refusal;
        }
        names << name;
    }
    return {};
}

void TOrganizePositionsDialog::ClearGroups()
{
    while (FPageControl1->count() > 0) {
        QWidget *sheet = FPageControl1->widget(0);
        FPageControl1->removeTab(0);
        delete sheet;
    }
}

void TOrganizePositionsDialog::AddGroup(int page)
{
    const TSetupGroupPage &group = FGroups.pages[std::size_t(page)];
    // The first tab of the main window shows every position under its own name.
    const QString caption
        = page == 0 && group.name.isEmpty() ? Translate(QStringLiteral("Gesamtansicht")) : group.name;
    auto *sheet = new QWidget;
    auto *edit = Named<QLineEdit>(sheet, "Edit1");
    edit->setText(caption);
    auto *tree = Named<TColumnCheckList>(sheet, ("Tree" + std::to_string(page)).c_str());
    tree->Fill(FGroups.names, false);
    for (int j = 0; j < int(group.checked.size()); ++j)
        tree->SetChecked(j, group.checked[std::size_t(j)]);
    auto *grid = new QGridLayout(sheet);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->addWidget(Named<QLabel>(sheet, "Label1", Translate(QStringLiteral("Name of Group"))), 0, 0);
    grid->addWidget(edit, 0, 1);
    grid->addWidget(tree, 1, 0, 1, 2);
    if (page == 0) {
        edit->setEnabled(false);
        tree->setEnabled(false);
        for (int j = 0; j < FGroups.names.size(); ++j)
            tree->SetChecked(j, true);
    }
    connect(edit, &QLineEdit::textEdited, this,
        [this, sheet](const QString &text) { Edit1Change(FPageControl1->indexOf(sheet), text); });
    tree->OnCheck = [this, sheet, tree](int index) {
        const int p = FPageControl1->indexOf(sheet);
        if (p < 1 || p >= int(FGroups.pages.size()))
            return;
        std::vector<bool> &checked = FGroups.pages[std::size_t(p)].checked;
        if (index >= 0 && index < int(checked.size()))
            checked[std::size_t(index)] = tree->Checked(index);
    };
    FPageControl1->setCurrentIndex(FPageControl1->addTab(sheet, caption));
}

void TOrganizePositionsDialog::Edit1Change(int page, const QString &text)
{
    if (page < 1 || page >= int(FGroups.pages.size()))
        return;
    FGroups.pages[std::size_t(page)].name = text;
    FPageControl1->setTabText(page, text);
}

void TOrganizePositionsDialog::SpeedButton2Click()
{
    const int page = FPageControl1->currentIndex();
    if (!FGroups.DeletePage(page))
        return;
    QWidget *sheet = FPageControl1->widget(page);
    FPageControl1->removeTab(page);
    delete sheet;
}

void TOrganizePositionsDialog::PageControl1Change()
{
    FSpeedButton2->setEnabled(FPageControl1->currentIndex() > 0);
}
