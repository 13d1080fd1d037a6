// job barcode1d | job barcode2d: a barcode font's test print, as the 1D and 2D pages send it.
//
// The data is taken as the bytes of the command-line word, which is what the page sends after
// converting its text to the ANSI code page (m450tool.exe receives its words in that code page).
#include "commands.h"

#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"
#include "core/devmode.h"

#include <string>
#include <type_traits>

namespace m450::tool {

namespace {

// The record of --devmode FILE as the host hands it to the pages (merged into a default
// record), or a default record.
std::optional<PlugInDevMode> ReadRecord(const Args& args, std::string& error) {
    const std::u16string systemDirectory = SystemDirectory();
    PlugInDevMode record{};
    DefaultDevMode(record, systemDirectory);
    const auto path = args.Value("--devmode");
    if (!path)
        return record;
    const auto bytes = ReadInputFile(*path, error);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() < sizeof(DevModeHeader)) {
        error = std::string(*path) + " is shorter than the 12-byte record header";
        return std::nullopt;
    }
    MergeDevMode(*bytes, &record, systemDirectory);
    return record;
}


int Report(TestPrintResult result) {
    switch (result) {
        case TestPrintResult::kPrinted:
            return kExitOk;
        case TestPrintResult::kInvalidData:
            return Refuse("BarCode data error!");
        case TestPrintResult::kUnknownSetting:
            return Refuse("the font's record holds a barcode setting outside its list");
        case TestPrintResult::kSpoolerFailed:
            break;
    }
    return Refuse("the job could not be sent");
}

std::vector<uint8_t> DataBytes(const Args& args, std::string_view sample) {
    const std::string_view data = args.Value("--data").value_or(sample);
    return {data.begin(), data.end()};
}

// Shared by both commands: the font's record, the --type override, the data, the job.
template <typename Fonts, typename SampleOf, typename Sender>
int RunBarcodeJob(const Args& args, Fonts PlugInDevMode::*fonts, size_t typeCount, SampleOf sampleOf, Sender send) {
    std::string error;
    const auto font = args.Number("--font", 0, static_cast<int>(std::extent_v<Fonts>) - 1, 0, error);
    if (!font)
        return Refuse(error);
    const auto record = ReadRecord(args, error);
    if (!record)
        return Refuse(error);
    auto settings = ((*record).*fonts)[static_cast<size_t>(*font)];
    const auto type = args.Number("--type", 0, static_cast<int>(typeCount) - 1, settings.barcodeType, error);
    if (!type)
        return Refuse(error);
    settings.barcodeType = static_cast<uint8_t>(*type);
    const std::vector<uint8_t> data = DataBytes(args, sampleOf(static_cast<unsigned>(*type)));
    return Report(send(RawPrinterChannel(PrintingSpooler(args)), settings, data));
}

}  // namespace

int RunJobBarcode1D(const Args& args) {
    return RunBarcodeJob(
        args, &PlugInDevMode::barcode1D, kBarcode1DTypeCount,
        [](unsigned type) {
            const Barcode1DType* t = FindBarcode1DType(type);
            return t ? t->sample : std::string_view();
        },
        SendBarcode1DTestPrint);
}

int RunJobBarcode2D(const Args& args) {
    return RunBarcodeJob(
        args, &PlugInDevMode::barcode2D, kBarcode2DTypeCount, [](unsigned) { return kBarcode2DSample; },
        SendBarcode2DTestPrint);
}

}  // namespace m450::tool
