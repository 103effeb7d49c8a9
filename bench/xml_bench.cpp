// Our XML parse beside pugixml's parse of the same document-like bytes; our writer beside
// pugixml's save of the same document.
#include "bench/BenchSupport.h"

#include <pugixml.hpp>

namespace {

const QByteArray &input()
{
    static const QByteArray bytes = bench::documentLikeBytes(20 * 1024 * 1024);
    return bytes;
}

void setBytes(benchmark::State &state)
{
    state.SetBytesProcessed(state.iterations() * input().size());
}

void Parse_Ours(benchmark::State &state)
{
    for (auto _ : state) {
        TXMLTree tree;
        benchmark::DoNotOptimize(tree.LoadFromBytes(input()));
    }
    setBytes(state);
}

void Parse_Pugixml(benchmark::State &state)
{
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(input().constData(), size_t(input().size())));
    }
    setBytes(state);
}

void Write_Ours(benchmark::State &state)
{
    TXMLTree tree;
    tree.LoadFromBytes(input());
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.SaveToBytes(false));
    setBytes(state);
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), size); }
};

void Write_Pugixml(benchmark::State &state)
{
    pugi::xml_document doc;
    doc.load_buffer(input().constData(), size_t(input().size()));
    for (auto _ : state) {
        StringWriter writer;
        doc.save(writer, "  ");
        benchmark::DoNotOptimize(writer.out);
    }
    setBytes(state);
}

BENCHMARK(Parse_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Parse_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(Write_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Write_Pugixml)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    std::printf("input %lld bytes\n", static_cast<long long>(input().size()));
    {
        // Both must read the whole input for the figures to compare anything.
        pugi::xml_document doc;
        const pugi::xml_parse_result result = doc.load_buffer(input().constData(), size_t(input().size()));
        TXMLTree tree;
        if (!result || tree.LoadFromBytes(input()) != TXMLLoadResult::Plain || !tree.isComplete()) {
            std::printf("parse FAILED: %s\n", result.description());
            return 1;
        }
    }
    // Speeds: the peer's time over ours.
    return bench::runWithFigures(argc, argv,
        { { "xml.parse_speed/pugixml", "Parse_Pugixml", "Parse_Ours", ">=", 0.5 },
            { "xml.write_speed/pugixml", "Write_Pugixml", "Write_Ours", "", 0 } });
}
