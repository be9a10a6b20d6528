// Throughput of ToFullWidth / ToHalfWidth (single pass and the 95-pass
// reference) against memcpy, on three generated 16 MiB texts; and of the
// UTF-8 conversions on the UTF-8 forms of the same texts (about 16 MiB of
// English, 24 MiB of Chinese, 17 MiB of source code); and the conversions
// under each kind of policy (BM_Policy), both encodings.
//   scripts/bench.sh width_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "convert/width.h"
#include "convert/width_converter.h"
#include "convert/width_utf8.h"
#include "support/width_reference.h"
#include "text/transcode.h"

namespace {

using tornix::GbkString;

constexpr std::size_t kSize = 16u << 20;

// Repeats pieces picked at random (fixed seed) until the text is kSize bytes.
std::string Generate(const std::vector<std::string>& pieces, unsigned seed) {
    std::mt19937 rng(seed);
    std::string text;
    text.reserve(kSize + 64);
    while (text.size() < kSize) text += pieces[rng() % pieces.size()];
    text.resize(kSize);
    return text;
}

const std::string& EnglishProse() {
    static const std::string text = Generate(
        {"The ", "quick ", "brown ", "fox ", "jumps ", "over ", "the ", "lazy ", "dog. ", "It ", "was ", "1999, ",
         "and ", "\"nothing\" ", "changed!\r\n", "(really?) ", "data/files ", "cost $5 ", "well-known "},
        1);
    return text;
}

// 中文 prose: paragraphs indented by two ideographic spaces, sentences of
// common characters ended by full-width punctuation (about one character in
// nine), with the odd quotation, full-width digit and parenthesis.
const std::string& ChineseProse() {
    static const std::string text = [] {
        const std::vector<std::string> words = {
            "\xD6\xD0\xCE\xC4", "\xCE\xC4\xB1\xBE", "\xD7\xAA\xBB\xBB", "\xB9\xA4\xBE\xDF", "\xB5\xC4",
            "\xCA\xC7",         "\xCE\xD2\xC3\xC7", "\xD4\xDA",         "\xD5\xE2\xB8\xF6", "\xD2\xBB\xB8\xF6",
            "\xBF\xC9\xD2\xD4", "\xC8\xAB\xBD\xC7", "\xB0\xEB\xBD\xC7", "\xD7\xD6\xB7\xFB", "\xB3\xCC\xD0\xF2",
            "\xCA\xE4\xB3\xF6", "\xCE\xCA\xCC\xE2", "\xD0\xE8\xD2\xAA"};
        const std::vector<std::string> marks = {"\xA3\xAC", "\xA3\xAC", "\xA1\xA3", "\xA1\xA2",
                                                "\xA3\xBA", "\xA3\xBB", "\xA3\xA1", "\xA3\xBF"};
        const std::vector<std::string> extras = {"\xA1\xB0\xD7\xAA\xBB\xBB\xA1\xB1",
                                                 "\xA3\xA8\xA3\xB1\xA3\xB9\xA3\xB9\xA3\xB9\xA3\xA9"};
        std::mt19937 rng(2);
        std::string out;
        out.reserve(kSize + 64);
        while (out.size() < kSize) {
            out += "\xA1\xA1\xA1\xA1";  // paragraph indent
            for (int sentence = 0, count = 3 + static_cast<int>(rng() % 6); sentence < count; ++sentence) {
                for (int n = 0, length = 3 + static_cast<int>(rng() % 4); n < length; ++n)
                    out += words[rng() % words.size()];
                if (rng() % 8 == 0) out += extras[rng() % extras.size()];
                out += marks[rng() % marks.size()];
            }
            out += "\r\n";
        }
        out.resize(kSize);
        return out;
    }();
    return text;
}

// Source code with Chinese comments.
const std::string& MixedSource() {
    static const std::string text = Generate(
        {"    int count = 0;\r\n", "    for (i = 0; i < n; ++i) {\r\n", "        total += a[i];\r\n", "    }\r\n",
         "    // \xBC\xC6\xCB\xE3\xD7\xDC\xBA\xCD\xA3\xAC\xB7\xB5\xBB\xD8\xBD\xE1\xB9\xFB\xA1\xA3\r\n",
         "    return \"\xCE\xC4\xB1\xBE\";\r\n", "/* \xD7\xA2\xCA\xCD */\r\n"},
        3);
    return text;
}

template <typename Convert>
void Run(benchmark::State& state, const std::string& input, Convert convert) {
    const GbkString text(input);
    for (auto _ : state) benchmark::DoNotOptimize(convert(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

void BM_ToFull(benchmark::State& state, const std::string& (*input)()) {
    Run(state, input(), tornix::ToFullWidth);
}
void BM_ToHalf(benchmark::State& state, const std::string& (*input)()) {
    Run(state, input(), tornix::ToHalfWidth);
}
void BM_ToFullReference(benchmark::State& state, const std::string& (*input)()) {
    Run(state, input(), tornix::testing::ReferenceToFullWidth);
}
void BM_ToHalfReference(benchmark::State& state, const std::string& (*input)()) {
    Run(state, input(), tornix::testing::ReferenceToHalfWidth);
}

// The kernels alone, into a buffer allocated once: the difference to the
// whole-text calls above is the cost of the fresh output buffer.
void BM_ToFullInto(benchmark::State& state, const std::string& (*input)()) {
    const std::string& text = input();
    std::string out(tornix::ToFullWidthBound(text), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(tornix::ToFullWidthInto(text, out.data()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}
void BM_ToHalfInto(benchmark::State& state, const std::string& (*input)()) {
    const std::string& text = input();
    std::string out(tornix::ToHalfWidthBound(text), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(tornix::ToHalfWidthInto(text, out.data()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

void BM_Memcpy(benchmark::State& state, const std::string& (*input)()) {
    const std::string& text = input();
    std::string copy(text.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

// The UTF-8 kernels alone, on the UTF-8 form of a text, into a buffer
// allocated once; bytes counted are those of the UTF-8 input.
template <typename Bound, typename Into>
void RunUtf8(benchmark::State& state, const std::string& gbk, Bound bound, Into into) {
    const std::string text = tornix::EncodeText(gbk, {tornix::Charset::kUtf8, false});
    std::string out(bound(text), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(into(text, out.data()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_ToFullUtf8Into(benchmark::State& state, const std::string& (*input)()) {
    RunUtf8(state, input(), tornix::ToFullWidthUtf8Bound, tornix::ToFullWidthUtf8Into);
}
void BM_ToHalfUtf8Into(benchmark::State& state, const std::string& (*input)()) {
    RunUtf8(state, input(), tornix::ToHalfWidthUtf8Bound, tornix::ToHalfWidthUtf8Into);
}

void BM_MemcpyUtf8(benchmark::State& state, const std::string& (*input)()) {
    const std::string text = tornix::EncodeText(input(), {tornix::Charset::kUtf8, false});
    std::string copy(text.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// The policies measured: the window's conversion (what the others are
// measured against), a class policy, a keep policy (the Chinese punctuation
// preset), the Unicode table, and punctuation by context.
struct PolicyCase {
    const char* name;
    tornix::WidthPolicy policy;
};

const PolicyCase kPolicies[] = {
    {"window", {}},
    {"letters_digits", {tornix::WidthTableKind::kClassic, tornix::kWidthLetters | tornix::kWidthDigits, "", false}},
    {"keep_chinese_punctuation",
     {tornix::WidthTableKind::kClassic, tornix::kAllWidthClasses, tornix::kChinesePunctuation, false}},
    {"unicode", {tornix::WidthTableKind::kUnicode, tornix::kAllWidthClasses, "", false}},
    {"context", {tornix::WidthTableKind::kClassic, tornix::kAllWidthClasses, "", true}},
};

// A converter under a policy, into a buffer allocated once; bytes counted
// are those of the input in its encoding.
void BM_Policy(benchmark::State& state, const std::string& (*input)(), const tornix::WidthPolicy& policy,
               tornix::WidthDirection direction, tornix::WidthEncoding encoding) {
    const std::string text = encoding == tornix::WidthEncoding::kUtf8
                                 ? tornix::EncodeText(input(), {tornix::Charset::kUtf8, false})
                                 : input();
    const tornix::WidthConverter converter(direction, encoding, policy);
    std::string out(converter.Bound(text), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(converter.Into(text, out.data()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// BM_Policy/<policy>/<to_full|to_half>/<gbk|utf8>/<text>
bool RegisterPolicies() {
    const std::pair<const char*, const std::string& (*)()> texts[] = {
        {"english", &EnglishProse}, {"chinese", &ChineseProse}, {"source", &MixedSource}};
    for (const PolicyCase& policy : kPolicies) {
        for (const auto direction : {tornix::WidthDirection::kToFull, tornix::WidthDirection::kToHalf}) {
            for (const auto encoding : {tornix::WidthEncoding::kGbk, tornix::WidthEncoding::kUtf8}) {
                for (const auto& [name, text] : texts) {
                    const std::string label = std::string("BM_Policy/") + policy.name +
                                              (direction == tornix::WidthDirection::kToFull ? "/to_full" : "/to_half") +
                                              (encoding == tornix::WidthEncoding::kUtf8 ? "/utf8/" : "/gbk/") + name;
                    benchmark::RegisterBenchmark(label.c_str(), BM_Policy, text, policy.policy, direction, encoding)
                        ->Unit(benchmark::kMillisecond);
                }
            }
        }
    }
    return true;
}

[[maybe_unused]] const bool kPoliciesRegistered = RegisterPolicies();

#define TORNIX_INPUTS(FN, ...)                                 \
    BENCHMARK_CAPTURE(FN, english, &EnglishProse) __VA_ARGS__; \
    BENCHMARK_CAPTURE(FN, chinese, &ChineseProse) __VA_ARGS__; \
    BENCHMARK_CAPTURE(FN, source, &MixedSource) __VA_ARGS__

TORNIX_INPUTS(BM_ToFull, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_ToHalf, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_ToFullReference, ->Unit(benchmark::kMillisecond)->Iterations(2));
TORNIX_INPUTS(BM_ToHalfReference, ->Unit(benchmark::kMillisecond)->Iterations(2));
TORNIX_INPUTS(BM_ToFullInto, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_ToHalfInto, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_Memcpy, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_ToFullUtf8Into, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_ToHalfUtf8Into, ->Unit(benchmark::kMillisecond));
TORNIX_INPUTS(BM_MemcpyUtf8, ->Unit(benchmark::kMillisecond));

}  // namespace

BENCHMARK_MAIN();
