// Reading and writing a 100 MiB text file, next to cat of the same file.
//   scripts/bench.sh text_file_bench
// The files go to $TORNIX_BENCH_DIR (default: the temporary folder). Reads
// come from the page cache, as cat's do. The writer flushes to disk before it
// renames, so its fair partner is "cat > out && sync out"; plain "cat > out"
// is listed as well.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "files/text_file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSize = 100u << 20;

fs::path BenchDir() {
    const char* dir = std::getenv("TORNIX_BENCH_DIR");
    return dir != nullptr ? fs::path(dir) : fs::temp_directory_path();
}

// 100 MiB of 中文 lines of 10..80 bytes with the given line break.
const fs::path& SampleFile(const std::string& lineBreak) {
    static fs::path paths[2];
    fs::path& path = paths[lineBreak == "\n" ? 0 : 1];
    if (!path.empty()) return path;
    path = BenchDir() / (lineBreak == "\n" ? "tornix-bench-lf.txt" : "tornix-bench-crlf.txt");
    std::mt19937 rng(7);
    const char* const pieces[] = {"\xD6\xD0\xCE\xC4", "\xB0\xEB\xBD\xC7", "\xA3\xA1", "abc ", "123", "\xA1\xA1"};
    std::string text;
    text.reserve(kSize + 128);
    while (text.size() < kSize) {
        const std::size_t length = 10 + rng() % 70;
        for (std::size_t start = text.size(); text.size() - start < length;) text += pieces[rng() % 6];
        text += lineBreak;
    }
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    return path;
}

void Shell(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError(command.c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(SampleFile("\r\n"))));
}

void BM_CatRead(benchmark::State& state) {
    Shell(state, "cat '" + SampleFile("\r\n").string() + "' > /dev/null");
}

void BM_ReadTextFile(benchmark::State& state, const std::string& lineBreak) {
    const fs::path& path = SampleFile(lineBreak);
    for (auto _ : state) {
        const tornix::ReadResult result = tornix::ReadTextFile(path);
        if (!result.ok()) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(result.text.GetString());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
}

void BM_CatWrite(benchmark::State& state) {
    Shell(state,
          "cat '" + SampleFile("\r\n").string() + "' > '" + (BenchDir() / "tornix-bench-cat.txt").string() + "'");
}

void BM_CatWriteSync(benchmark::State& state) {
    const std::string out = (BenchDir() / "tornix-bench-cat.txt").string();
    Shell(state, "cat '" + SampleFile("\r\n").string() + "' > '" + out + "' && sync '" + out + "'");
}

void BM_WriteTextFile(benchmark::State& state) {
    const tornix::GbkString text = tornix::ReadTextFile(SampleFile("\r\n")).text;
    const fs::path out = BenchDir() / "tornix-bench-out.txt";
    for (auto _ : state) {
        if (tornix::WriteTextFile(out, text) != tornix::WriteStatus::kOk) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.GetLength()));
}

BENCHMARK(BM_CatRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadTextFile, crlf, std::string("\r\n"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadTextFile, lf, std::string("\n"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatWriteSync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteTextFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (const char* name :
         {"tornix-bench-lf.txt", "tornix-bench-crlf.txt", "tornix-bench-cat.txt", "tornix-bench-out.txt"}) {
        std::error_code ignored;
        fs::remove(BenchDir() / name, ignored);
    }
    return 0;
}
