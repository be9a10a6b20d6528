// Throughput of the display codec both ways on 20 MiB texts, and the one-off
// cost of its first call (asking the platform's converters for the tables).
//   scripts/bench.sh display_codec_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "text/display_codec.h"

namespace {

constexpr std::size_t kSize = 20u << 20;

// Repeats pieces picked at random (fixed seed) until the text is kSize bytes.
std::string Generate(const std::vector<std::string>& pieces, unsigned seed) {
    std::mt19937 rng(seed);
    std::string text;
    text.reserve(kSize + 64);
    while (text.size() < kSize) text += pieces[rng() % pieces.size()];
    return text;
}

// 中文 prose: common characters, full-width punctuation, line breaks.
const std::string& ChineseProse() {
    static const std::string text = Generate(
        {"\xD6\xD0\xCE\xC4", "\xCE\xC4\xB1\xBE", "\xD7\xAA\xBB\xBB", "\xB9\xA4\xBE\xDF", "\xB5\xC4", "\xCA\xC7",
         "\xCE\xD2\xC3\xC7", "\xA3\xAC", "\xA1\xA3", "\xA1\xA2", "\xA1\xB0", "\xA1\xB1", "\xA1\xA1", "\r\n"},
        1);
    return text;
}

// Source code with Chinese comments.
const std::string& MixedSource() {
    static const std::string text = Generate(
        {"    int count = 0;\r\n", "    for (i = 0; i < n; ++i) {\r\n", "        total += a[i];\r\n", "    }\r\n",
         "    // \xBC\xC6\xCB\xE3\xD7\xDC\xBA\xCD\xA3\xAC\xB7\xB5\xBB\xD8\xBD\xE1\xB9\xFB\xA1\xA3\r\n"},
        2);
    return text;
}

// Chinese prose with GB18030 four-byte forms (😀, 𠀀), carriers and stray
// bytes that show escaped, about one in fifty pieces.
const std::string& ProseWithRareForms() {
    static const std::string text = [] {
        std::vector<std::string> pieces = {"\x94\x39\xFC\x36", "\x95\x32\x82\x36", "\x88\x35\x96\x36", "\x81\x7F",
                                           "\xFF"};
        const std::vector<std::string> prose = {"\xD6\xD0\xCE\xC4", "\xCE\xC4\xB1\xBE", "\xB5\xC4",
                                                "\xA3\xAC",         "\xA1\xA3",         "\r\n"};
        for (int copy = 0; copy < 40; ++copy) pieces.insert(pieces.end(), prose.begin(), prose.end());
        return Generate(pieces, 3);
    }();
    return text;
}

void Decode(benchmark::State& state, const std::string& gbk) {
    for (auto _ : state) benchmark::DoNotOptimize(tornix::DecodeForDisplay(gbk));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gbk.size()));
}

void Encode(benchmark::State& state, const std::string& gbk) {
    const std::u16string text = tornix::DecodeForDisplay(gbk);
    for (auto _ : state) benchmark::DoNotOptimize(tornix::EncodeFromDisplay(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gbk.size()));
}

}  // namespace

BENCHMARK_CAPTURE(Decode, chinese_prose, ChineseProse())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, mixed_source, MixedSource())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, prose_with_rare_forms, ProseWithRareForms())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, chinese_prose, ChineseProse())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, mixed_source, MixedSource())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, prose_with_rare_forms, ProseWithRareForms())->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(tornix::DecodeForDisplay("a"));
    const std::chrono::duration<double, std::milli> first = std::chrono::steady_clock::now() - start;
    std::printf("first call (tables from the platform's converters): %.1f ms\n", first.count());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
