// The tree stream beside QStandardItem's own stream (write/read through
// QDataStream) on the same flat rows with a caption each: saving and loading
// 1,000,000 rows, and 2,000,000 rows against 1,000,000 for how the time grows.
#include "bench/BenchSupport.h"
#include "components/BaseGridTree.h"
#include "components/StreamIO.h"

#include <QBuffer>
#include <QDataStream>
#include <QStandardItem>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

namespace {

QString caption(int row)
{
    return QStringLiteral("Order %1, assembly").arg(row);
}

// A tree whose rows carry a caption, saved in a chunk of its own as a string
// tree saves its texts.
class TCaptionTree : public TBaseGridTree {
public:
    TCaptionTree() { SetNodeDataType<QString>(); }
    void Fill(int rows)
    {
        SetRootNodeCount(uint32_t(rows));
        int row = 0;
        for (TGridNode *n = RootNode()->FirstChild(); n; n = n->NextSibling())
            *GetNodeData<QString>(n) = caption(row++);
    }

protected:
    void WriteChunks(TStreamWriter &Stream, TGridNode *Node) override
    {
        TBaseGridTree::WriteChunks(Stream, Node);
        const QString &text = *GetNodeData<QString>(Node);
        if (text.isEmpty())
            return;
        const qint64 start = Stream.BeginChunk(CaptionChunk);
        Stream.WriteUtf16(text);
        FinishChunkHeader(Stream, start, Stream.Position());
    }
    bool ReadChunk(TStreamReader &Stream, int Version, TGridNode *Node, int ChunkType, int ChunkSize) override
    {
        if (ChunkType != CaptionChunk)
            return TBaseGridTree::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
        *GetNodeData<QString>(Node) = Stream.ReadUtf16(ChunkSize / 2);
        return true;
    }
};

using Items = std::vector<std::unique_ptr<QStandardItem>>;

Items fillItems(int rows)
{
    Items items;
    items.reserve(std::size_t(rows));
    for (int row = 0; row < rows; ++row)
        items.push_back(std::make_unique<QStandardItem>(caption(row)));
    return items;
}

// Both sides write into a buffer kept from the round before: clearing fresh
// pages, the same work for both, would blur the ratio with the kernel's share
// and with how busy the machine's memory is.
void saveTree(TCaptionTree &tree, QByteArray &bytes)
{
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly | QIODevice::Truncate);
    tree.SaveToStream(device);
}

void saveItems(const Items &items, QByteArray &bytes)
{
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QDataStream stream(&device);
    for (const auto &item : items)
        item->write(stream);
}

// What the rounds write or read, made once for all of them: each of the seven
// rounds making and freeing millions of rows and items again took longer than
// what it measured.
TCaptionTree &SourceTree(int rows)
{
    static std::map<int, std::unique_ptr<TCaptionTree>> trees;
    std::unique_ptr<TCaptionTree> &tree = trees[rows];
    if (!tree) {
        tree = std::make_unique<TCaptionTree>();
        tree->Fill(rows);
    }
    return *tree;
}

const QByteArray &TreeBytes(int rows)
{
    static std::map<int, QByteArray> saved;
    QByteArray &bytes = saved[rows];
    if (bytes.isEmpty())
        saveTree(SourceTree(rows), bytes);
    return bytes;
}

const Items &SourceItems(int rows)
{
    static std::map<int, Items> made;
    Items &items = made[rows];
    if (items.empty())
        items = fillItems(rows);
    return items;
}

const QByteArray &ItemBytes(int rows)
{
    static std::map<int, QByteArray> saved;
    QByteArray &bytes = saved[rows];
    if (bytes.isEmpty())
        saveItems(SourceItems(rows), bytes);
    return bytes;
}

void SaveTree(benchmark::State &state, int rows)
{
    TCaptionTree &tree = SourceTree(rows);
    QByteArray bytes;
    saveTree(tree, bytes);
    for (auto _ : state) {
        saveTree(tree, bytes);
        benchmark::DoNotOptimize(bytes.size());
    }
}

void LoadTree(benchmark::State &state, int rows)
{
    const QByteArray &bytes = TreeBytes(rows);
    for (auto _ : state) {
        auto tree = std::make_unique<TCaptionTree>();
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        tree->LoadFromStream(device);
        benchmark::DoNotOptimize(tree->RootNodeCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void SaveItems(benchmark::State &state, int rows)
{
    const Items &items = SourceItems(rows);
    QByteArray bytes;
    saveItems(items, bytes);
    for (auto _ : state) {
        saveItems(items, bytes);
        benchmark::DoNotOptimize(bytes.size());
    }
}

// Each row read into an item of its own, as each node is made while loading.
void LoadItems(benchmark::State &state, int rows)
{
    const QByteArray &bytes = ItemBytes(rows);
    for (auto _ : state) {
        Items items;
        items.reserve(std::size_t(rows));
        QDataStream stream(bytes);
        for (int row = 0; row < rows; ++row) {
            items.push_back(std::make_unique<QStandardItem>());
            items.back()->read(stream);
        }
        benchmark::DoNotOptimize(items.back()->text().size());
        state.PauseTiming();
        items.clear();
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char **argv)
{
    constexpr int Million = 1000000;
    const auto add = [](const char *name, void (*fn)(benchmark::State &, int), int rows) {
        benchmark::RegisterBenchmark(name, fn, rows)->Unit(benchmark::kMillisecond)->Iterations(5);
    };
    add("Save_Tree_1M", SaveTree, Million);
    add("Save_QtItems_1M", SaveItems, Million);
    add("Load_Tree_1M", LoadTree, Million);
    add("Load_QtItems_1M", LoadItems, Million);
    add("Save_Tree_2M", SaveTree, 2 * Million);
    add("Load_Tree_2M", LoadTree, 2 * Million);
    return bench::runMediansWithFigures(argc, argv, 7,
        { { "treestream.save_speed/qt_items", "Save_QtItems_1M", "Save_Tree_1M", ">=", 2 },
            { "treestream.load_speed/qt_items", "Load_QtItems_1M", "Load_Tree_1M", ">=", 3 },
            { "treestream.save_2M/1M", "Save_Tree_2M", "Save_Tree_1M", "<=", 2.2 },
            { "treestream.load_2M/1M", "Load_Tree_2M", "Load_Tree_1M", "<=", 2.2 } });
}
