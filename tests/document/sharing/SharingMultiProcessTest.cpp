// Four instances edit one shared document at the same time, each in its own
// process. At the end all hold the same tables, and every edit that no later one
// (in the fixed replay order) overwrote is there.
#include "document/sharing/TransactionRecords.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using namespace transactions;

namespace {

constexpr int kPeers = 4;
constexpr int kEditsPerPeer = 90;

struct Record {
    TRecordOrderKey key;
    TRecordKind kind;
    QString table;
    std::vector<std::pair<QString, QString>> cells; // caption, stored text
};

struct ExpectedRow {
    bool exists = false;
    QString table;
    std::map<QString, QString> cells;
};

// The cell text a stored value gives, worked out from the format: dates
// "yyyy-mm-dd hh:nn:ss" become "dd.mm.yyyy", day 0 an empty cell.
QString cellText(const QString &caption, const QString &stored)
{
    if (caption != "Start")
        return stored;
    if (stored.startsWith("1899-12-30"))
        return QString();
    return stored.mid(8, 2) + "." + stored.mid(5, 2) + "." + stored.left(4);
}

std::map<QString, std::vector<Record>> readRecords(const QString &dir, QStringList *files)
{
    std::map<QString, std::vector<Record>> byID;
    for (const QString &name : QDir(dir).entryList({ "*.diff" }, QDir::Files)) {
        files->append(name);
        TXMLFile file(dir + name, true);
        EXPECT_TRUE(file.Load());
        const TXMLNode *diff = file.xml().namedNode(QStringList { "document", "diff" });
        for (const auto &node : diff->Nodes()) {
            Record record { { RecordChangeIndex(*node), RecordUser(*node), name, RecordIndex(*node) },
                KindOf(*node), {}, {} };
            for (const auto &child : node->Nodes()) {
                const QString caption = child->Name().Value();
                if (caption == "__table__")
                    record.table = child->Value();
                else if (!caption.startsWith("__"))
                    record.cells.emplace_back(caption, child->Value());
            }
            byID[node->namedAttribute(QString("id"))->Value()].push_back(record);
        }
    }
    return byID;
}

// Map of row ID -> dumped fields (table, counter, cells).
std::map<QString, QStringList> readDump(const QString &path)
{
    std::map<QString, QStringList> rows;
    const QStringList lines = QString::fromUtf8(SharedFolder::read(path)).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        QStringList fields = line.split('\t');
        const QString id = fields.takeFirst();
        rows[id] = fields;
    }
    return rows;
}

} // namespace

TEST(SharingMultiProcess, FourInstancesConvergeWithoutLosingAnEdit)
{
    SharedFolder folder;
    const QString control = folder.dir.path() + "/control";
    QDir().mkpath(control);

    std::vector<std::unique_ptr<QProcess>> peers;
    for (int i = 0; i < kPeers; ++i) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELTRANO_IDENTITY", QString("peer%1.test").arg(i));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(ZELTRANO_SHARING_PEER,
            { folder.path, control, QString::number(kPeers), QString::number(1000 + i),
                QString::number(kEditsPerPeer) });
        ASSERT_TRUE(process->waitForStarted(10000));
        peers.push_back(std::move(process));
    }
    for (auto &process : peers) {
        if (!process->waitForFinished(120000)) {
            process->kill();
            process->waitForFinished(5000);
            FAIL() << "a peer did not finish in time";
        }
        ASSERT_EQ(process->exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(process->exitCode(), 0);
    }

    // Every instance holds the same tables.
    const auto first = readDump(control + "/peer0.test.dump");
    EXPECT_GT(first.size(), 10u);
    for (int i = 1; i < kPeers; ++i)
        EXPECT_EQ(readDump(control + QString("/peer%1.test.dump").arg(i)), first) << "peer " << i;

    // They hold what replaying every record in the fixed order gives.
    QStringList files;
    auto records = readRecords(folder.workingDir(), &files);
    EXPECT_EQ(files.size(), kPeers);
    Document layout; // captions -> columns
    int concurrent = 0;
    for (auto &[id, list] : records) {
        std::sort(list.begin(), list.end(), [](const Record &a, const Record &b) { return a.key < b.key; });
        for (std::size_t i = 1; i < list.size(); ++i)
            concurrent
                += list[i].key.change == list[i - 1].key.change && list[i].key.user != list[i - 1].key.user;
        ExpectedRow row;
        for (const Record &record : list) {
            if (record.kind == TRecordKind::Delete) {
                row.exists = false;
                continue;
            }
            if (record.kind == TRecordKind::New && !row.exists) {
                row = ExpectedRow { true, record.table, {} };
            } else if (!row.exists) {
                continue;
            }
            for (const auto &[caption, stored] : record.cells)
                row.cells[caption] = cellText(caption, stored);
        }
        const auto dumped = first.find(id);
        ASSERT_EQ(dumped != first.end(), row.exists) << qPrintable(id);
        if (!row.exists)
            continue;
        const QStringList &fields = dumped->second;
        EXPECT_EQ(fields[0], row.table) << qPrintable(id);
        const TWhichTable table = row.table == "tbTable" ? tbTable : tbExclude;
        for (const auto &[caption, text] : row.cells) {
            const int column = layout.IndexOfColumnHack(table, caption);
            ASSERT_GE(column, 0) << qPrintable(caption);
            EXPECT_EQ(fields.value(2 + column), text) << qPrintable(id + " " + caption);
        }
    }
    RecordProperty("concurrent_records", concurrent);
    EXPECT_GT(concurrent, 0) << "no concurrent changes: the test did not exercise conflicts";

    // No edit was lost on the way to the files: each instance's last value of
    // every cell it changed is in its own file, and so is every new row and delete.
    for (int i = 0; i < kPeers; ++i) {
        const QString user = QString("peer%1.test").arg(i);
        std::map<std::pair<QString, QString>, QString> lastEdit;
        QSet<QString> made, deleted;
        for (const QString &line : QString::fromUtf8(SharedFolder::read(control + "/" + user + ".edits"))
                                       .split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = line.split('\t');
            if (f[0] == "new")
                made.insert(f[1]);
            else if (f[0] == "delete")
                deleted.insert(f[1]);
            else
                lastEdit[{ f[1], f[2] }] = f[3];
        }
        std::map<std::pair<QString, QString>, QString> stored;
        QSet<QString> storedNew, storedDelete;
        for (const auto &[id, list] : records) {
            for (const Record &record : list) {
                if (record.key.user != user)
                    continue;
                if (record.kind == TRecordKind::New)
                    storedNew.insert(id);
                if (record.kind == TRecordKind::Delete)
                    storedDelete.insert(id);
                for (const auto &[caption, value] : record.cells)
                    stored[{ id, caption }] = cellText(caption, value);
            }
        }
        EXPECT_EQ(storedNew, made) << qPrintable(user);
        EXPECT_EQ(storedDelete, deleted) << qPrintable(user);
        for (const auto &[cell, value] : lastEdit)
            EXPECT_EQ(stored[cell], value) << qPrintable(user + " " + cell.first + " " + cell.second);
    }
}
