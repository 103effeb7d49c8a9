#include "document/sharing/TransactionRecords.h"

#include "document/xml/XMLTree.h"

#include <climits>

namespace transactions {

namespace {

const THashedString &indexName()
{
    static const THashedString name(QStringLiteral("index"));
    return name;
}

} // namespace

TRecordKind KindOf(const TXMLNode &record)
{
    const QString &name = record.Name().Value();
    if (name == QLatin1String("change"))
        return TRecordKind::Change;
    if (name == QLatin1String("new"))
        return TRecordKind::New;
    if (name == QLatin1String("delete"))
        return TRecordKind::Delete;
    return TRecordKind::Other;
}

int getIndex(const TXMLNode &diff)
{
    const int own = ToInt(diff.namedAttribute(indexName()), -1);
    if (own != -1)
        return own;
    int highest = -1;
    for (const auto &record : diff.Nodes())
        highest = std::max(highest, ToInt(record->namedAttribute(indexName()), -1));
    return highest;
}

int updateIndex(TXMLNode &diff)
{
    const int next = int(std::min<qint64>(qint64(std::max(getIndex(diff), 0)) + 1, INT_MAX));
    if (TXMLAttribute *attribute = diff.namedAttribute(indexName()))
        attribute->SetValue(QString::number(next));
    else
        diff.AddAttribute(indexName(), QString::number(next));
    return next;
}

bool CanTakeRecords(const TXMLNode &diff, qint64 count)
{
    return qint64(std::max(getIndex(diff), 0)) + count <= qint64(INT_MAX);
}

int RecordIndex(const TXMLNode &record)
{
    return std::max(0, ToInt(record.namedAttribute(indexName()), 0));
}

std::int32_t RecordChangeIndex(const TXMLNode &record)
{
    static const THashedString name(QStringLiteral("__change__"));
    return ToInt(record.namedNode(name), 0);
}

void RaiseChangeIndex(TNodeData &row, std::int32_t changeIndex)
{
    if (changeIndex > std::int32_t(row.ChangeIndex))
        row.ChangeIndex = std::uint64_t(std::int64_t(changeIndex));
}

QString RecordUser(const TXMLNode &record)
{
    static const THashedString name(QStringLiteral("__user__"));
    return GetValue(record.namedNode(name));
}

bool RecordTable(const TXMLNode &record, TWhichTable &table)
{
    static const THashedString name(QStringLiteral("__table__"));
    const QString text = GetValue(record.namedNode(name));
    if (text == QLatin1String("tbTable"))
        table = tbTable;
    else if (text == QLatin1String("tbExclude"))
        table = tbExclude;
    else
        return false;
    return true;
}

platform::Status IsCompleteTransactionTree(const TXMLTree &tree)
{
    const TXMLNode *diff = tree.namedNode(QStringList { QStringLiteral("document"), QStringLiteral("diff") });
    if (!diff || diff->Count() == 0)
        return {};
    const int stated = ToInt(diff->namedAttribute(indexName()), -1);
    if (stated == -1)
        return {};
    int highest = -1;
    for (const auto &record : diff->Nodes())
        highest = std::max(highest, ToInt(record->namedAttribute(indexName()), -1));
    if (highest == stated)
        return {};
    return platform::Status::failure(
        QStringLiteral("the diff index %1 does not match its last record %2").arg(stated).arg(highest));
}

bool operator<(const TRecordOrderKey &a, const TRecordOrderKey &b)
{
    if (a.change != b.change)
        return a.change < b.change;
    if (const int c = QString::compare(a.user, b.user, Qt::CaseSensitive); c != 0)
        return c < 0;
    if (const int c = QString::compare(a.file, b.file, Qt::CaseSensitive); c != 0)
        return c < 0;
    return a.index < b.index;
}

QString RecordID(const TXMLNode &record)
{
    static const THashedString idName(QStringLiteral("id"));
    const TXMLAttribute *id = record.namedAttribute(idName);
    return id ? id->Value() : QString();
}

QString RecordKey(const TXMLNode &record)
{
    QString key = record.Name().Value() + QLatin1Char('\n') + RecordID(record);
    for (const auto &child : record.Nodes())
        key += QLatin1Char('\n') + child->Name().Value() + QLatin1Char('=') + child->Value();
    return key;
}

} // namespace transactions

TStoredRecordEvent::TStoredRecordEvent(const TXMLNode &record)
    : TNodeEvent(transactions::RecordID(record), transactions::RecordChangeIndex(record), tbTable)
    , FName(record.Name().Value())
{
    transactions::RecordTable(record, FTable);
    FUser = transactions::RecordUser(record);
    auto copy = std::make_shared<TXMLTree>();
    record.CloneTo(*copy, false);
    FCopy = std::move(copy);
}

void TStoredRecordEvent::AppendToXML(TXMLNode &node) const
{
    if (FCopy->Count() == 0)
        return;
    for (const auto &child : FCopy->Node(0)->Nodes())
        child->CloneTo(node, false);
}
