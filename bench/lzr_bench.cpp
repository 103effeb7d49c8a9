// Our LZRW1/KH stream coder beside liblz4 (default level) on the same document-like bytes.
#include "bench/BenchSupport.h"
#include "document/xml/LZR.h"

#include <QBuffer>
#include <lz4.h>

namespace {

const QByteArray &input()
{
    static const QByteArray bytes = bench::documentLikeBytes(20 * 1024 * 1024);
    return bytes;
}

QByteArray lzrCompress(TLZR &lzr, const QByteArray &in)
{
    QByteArray source = in;
    QBuffer src(&source);
    src.open(QIODevice::ReadOnly);
    QByteArray out;
    out.reserve(in.size() / 2);
    QBuffer dest(&out);
    dest.open(QIODevice::WriteOnly);
    lzr.Compress(src, dest);
    return out;
}

const QByteArray &lzrPacked()
{
    static const QByteArray packed = [] {
        TLZR lzr;
        return lzrCompress(lzr, input());
    }();
    return packed;
}

const QByteArray &lz4Packed()
{
    static const QByteArray packed = [] {
        QByteArray out(LZ4_compressBound(int(input().size())), Qt::Uninitialized);
        const int n
            = LZ4_compress_default(input().constData(), out.data(), int(input().size()), int(out.size()));
        out.truncate(n);
        return out;
    }();
    return packed;
}

void setBytes(benchmark::State &state)
{
    state.SetBytesProcessed(state.iterations() * input().size());
}

void Compress_LZR(benchmark::State &state)
{
    TLZR lzr;
    for (auto _ : state)
        benchmark::DoNotOptimize(lzrCompress(lzr, input()));
    setBytes(state);
}

void Compress_LZ4(benchmark::State &state)
{
    QByteArray out(LZ4_compressBound(int(input().size())), Qt::Uninitialized);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            LZ4_compress_default(input().constData(), out.data(), int(input().size()), int(out.size())));
    setBytes(state);
}

void Decompress_LZR(benchmark::State &state)
{
    TLZR lzr;
    QByteArray packed = lzrPacked();
    QByteArray out;
    out.reserve(input().size());
    for (auto _ : state) {
        QBuffer src(&packed);
        src.open(QIODevice::ReadOnly);
        out.resize(0);
        QBuffer dest(&out);
        dest.open(QIODevice::WriteOnly);
        benchmark::DoNotOptimize(lzr.DeCompress(src, dest, true));
    }
    setBytes(state);
}

void Decompress_LZ4(benchmark::State &state)
{
    QByteArray out(input().size(), Qt::Uninitialized);
    for (auto _ : state)
        benchmark::DoNotOptimize(LZ4_decompress_safe(
            lz4Packed().constData(), out.data(), int(lz4Packed().size()), int(out.size())));
    setBytes(state);
}

BENCHMARK(Compress_LZR)->Unit(benchmark::kMillisecond);
BENCHMARK(Compress_LZ4)->Unit(benchmark::kMillisecond);
BENCHMARK(Decompress_LZR)->Unit(benchmark::kMillisecond);
BENCHMARK(Decompress_LZ4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    std::printf("input %lld bytes; compressed to %.1f%% (LZRW1/KH) and %.1f%% (LZ4)\n",
        static_cast<long long>(input().size()), 100.0 * double(lzrPacked().size()) / double(input().size()),
        100.0 * double(lz4Packed().size()) / double(input().size()));
    {
        // The figures mean nothing unless our stream decodes to the input.
        TLZR lzr;
        QByteArray packed = lzrPacked();
        QBuffer src(&packed);
        src.open(QIODevice::ReadOnly);
        QByteArray out;
        QBuffer dest(&out);
        dest.open(QIODevice::WriteOnly);
        if (!lzr.DeCompress(src, dest, true) || out != input()) {
            std::printf("round trip FAILED\n");
            return 1;
        }
    }
    // Speeds: the peer's time over ours.
    return bench::runWithFigures(argc, argv,
        { { "lzr.compress_speed/lz4", "Compress_LZ4", "Compress_LZR", ">=", 0.5 },
            { "lzr.decompress_speed/lz4", "Decompress_LZ4", "Decompress_LZR", ">=", 0.25 } });
}
