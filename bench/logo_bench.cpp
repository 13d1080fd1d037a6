// Logo conversion runs on every repaint of the Download page, so each method is measured on
// the largest logo the page takes, 1024 × 768, from a 24-bit and an 8-bit source: the whole
// call (header checks, tone tables, halftoning, the working copy's bytes). "per_pixel" is the
// time per source pixel. Then the "LOGO" job of nine such logos, mono and gray.
//
// `logo_bench --write-picture=FILE` writes the 24-bit source picture as a bitmap file instead,
// so that scripts/bench can give other converters the very same picture.
#include "device/logo_conversion.h"
#include "device/logo_jobs.h"

#include "../tests/unit/logo_test_images.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

const std::vector<uint8_t>& Source(int bitCount) {
    static const std::vector<uint8_t> rgb = m450::test::PhotoLikeBitmap24(kWidth, kHeight);
    static const std::vector<uint8_t> indexed = m450::test::PhotoLikeBitmap8(kWidth, kHeight);
    return bitCount == 24 ? rgb : indexed;
}

void PerPixel(benchmark::State& state) {
    state.counters["per_pixel"] = benchmark::Counter(
        static_cast<double>(kPixels), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Arguments: method 0 … 3, source bit count.
void BM_ConvertToMono(benchmark::State& state) {
    const std::vector<uint8_t>& source = Source(static_cast<int>(state.range(1)));
    const m450::LogoSettings settings{static_cast<int>(state.range(0)), 20, -10};
    for (auto _ : state) {
        m450::LogoConversion converted = m450::ConvertToMono(source, settings);
        benchmark::DoNotOptimize(converted.workingCopy.data());
    }
    PerPixel(state);
}
BENCHMARK(BM_ConvertToMono)->ArgsProduct({{0, 1, 2, 3}, {24, 8}})->ArgNames({"method", "bits"});

void BM_ConvertToGray(benchmark::State& state) {
    const std::vector<uint8_t>& source = Source(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        m450::LogoConversion converted = m450::ConvertToGray(source, 20, -10);
        benchmark::DoNotOptimize(converted.workingCopy.data());
    }
    PerPixel(state);
}
BENCHMARK(BM_ConvertToGray)->Arg(24)->Arg(8)->ArgName("bits");

// Argument: 1 mono (column data), 2 gray (plane data). The working copies are made beforehand,
// as the page's previews leave them.
void BM_LogoJobOfNine(benchmark::State& state) {
    const auto type = static_cast<m450::LogoType>(state.range(0));
    const m450::LogoConversion copy = type == m450::LogoType::Mono ? m450::ConvertToMono(Source(24), {3, 0, 0})
                                                                   : m450::ConvertToGray(Source(24), 0, 0);
    const std::vector<std::optional<std::vector<uint8_t>>> files(9, copy.workingCopy);
    for (auto _ : state) {
        m450::LogoJob job = m450::BuildLogoJob(type, files);
        benchmark::DoNotOptimize(job.writes.data());
    }
    state.counters["per_pixel"] = benchmark::Counter(
        static_cast<double>(9 * kPixels), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LogoJobOfNine)->Arg(1)->Arg(2)->ArgName("type")->Unit(benchmark::kMillisecond);

bool WritePicture(const char* path) {
    const std::vector<uint8_t>& picture = Source(24);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWritePicture = "--write-picture=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(kWritePicture)) {
        if (WritePicture(argv[1] + kWritePicture.size()))
            return 0;
        std::perror(argv[1] + kWritePicture.size());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
