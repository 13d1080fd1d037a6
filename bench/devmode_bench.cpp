// The work the host and the dialogs repeat: merging a full record, and parsing the longest
// command field (128 bytes as 384 characters of hex text).
#include "core/hex_text.h"
#include "core/devmode.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr std::u16string_view kSystemDir = u"C:\\Windows\\system32";

void BM_MergeFullRecord(benchmark::State& state) {
    m450::PlugInDevMode source{};
    m450::DefaultDevMode(source, kSystemDir);
    source.zoomPercent = 150;
    const std::vector<uint8_t> input(m450::DevModeBytes(source).begin(), m450::DevModeBytes(source).end());
    m450::PlugInDevMode out{};
    for (auto _ : state) {
        m450::DefaultDevMode(out, kSystemDir);
        m450::MergeDevMode(input, &out, kSystemDir);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * m450::kDevModeSize);
}
BENCHMARK(BM_MergeFullRecord);

void BM_ParseLongestCommand(benchmark::State& state) {
    std::vector<uint8_t> command(m450::kMaxCommandBytes);
    for (size_t i = 0; i < command.size(); ++i)
        command[i] = static_cast<uint8_t>(i * 7);
    const std::u16string text = m450::FormatHexBytes(command);  // 384 characters
    for (auto _ : state) {
        auto bytes = m450::ParseHexBytes(text);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseLongestCommand);

}  // namespace
