// job barcode1d | job barcode2d: a barcode font's test print, as the 1D and 2D pages send it.
//
// The data is taken as the bytes of the command-line word, which is what the page sends after
// converting its text to the ANSI code page (m450tool.exe receives its words in that code page).
// --type takes the page's list position or the type's name; --list prints the table of both.
#include "commands.h"

#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"
#include "core/devmode.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>
#include <type_traits>

namespace m450::tool {

namespace {

// The record of --devmode FILE as the host hands it to the pages, or a default record.
std::optional<PlugInDevMode> ReadRecord(const Args& args, std::string& error) {
    if (const auto path = args.Value("--devmode"))
        return RecordForPages(*path, error);
    PlugInDevMode record{};
    DefaultDevMode(record, SystemDirectory());
    return record;
}

std::string Ascii(std::u16string_view text) {
    return std::string(text.begin(), text.end());  // the type names are ASCII
}

// A name as --type compares it: letters and digits only, in lower case ("GS1 DataBar" = "gs1-databar").
std::string NameKey(std::string_view name) {
    std::string key;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// The type of --type: a list position, or a name of the list; nullopt (with `error`) for neither.
std::optional<unsigned> TypeOf(std::string_view text, std::span<const std::u16string_view> names, std::string& error) {
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec == std::errc() && end == text.data() + text.size() && number < names.size())
        return number;
    for (unsigned i = 0; i < names.size(); ++i)
        if (!text.empty() && NameKey(text) == NameKey(Ascii(names[i])))
            return i;
    error =
        "--type takes a number from 0 to " + std::to_string(names.size() - 1) + " or a type's name; --list shows them";
    return std::nullopt;
}

// A byte as the data rules show it: the character, or its hexadecimal value.
std::string ByteText(uint8_t byte) {
    if (byte == ' ')
        return "space";
    if (byte > ' ' && byte < 0x7F)
        return std::string(1, static_cast<char>(byte));
    char hex[8];
    std::snprintf(hex, sizeof(hex), "%02X", byte);
    return hex;
}

// What a validator entry takes: "7 to 8 bytes of 0-9", with the extra rule of its type.
std::string DataRule(size_t entry) {
    const BarcodeCharset& charset = BarcodeCharsetTable[entry];
    std::string rule = std::to_string(charset.leastLength) + " to " + std::to_string(charset.greatestLength) + " bytes";
    if (charset.allowed.empty())
        return rule + " of any value";
    rule += "; allowed:";
    for (size_t i = 0; i < charset.allowed.size(); ++i) {
        const ByteRange range = charset.allowed[i];
        rule += (i == 0 ? " " : ", ") + ByteText(range.first);
        if (range.last != range.first)
            rule += " to " + ByteText(range.last);
    }
    switch (entry) {
        case 1:
            return rule + "; the first one 0";
        case 6:
            return rule + "; starting with A-D, ending with A-D, E, N, T or *";
        case 8:
            return rule + "; starting with {A, {B or {C; inside {C, pairs of digits";
    }
    return rule;
}

struct TypeTable {
    std::vector<std::u16string_view> names;
    std::vector<size_t> entries;  // the validator entry of each type
};

TypeTable Types1D() {
    TypeTable table;
    for (const Barcode1DType& type : kBarcode1DTypes) {
        table.names.push_back(type.listText);
        table.entries.push_back(*BarcodeCharsetIndex(type.validatorSymbology));
    }
    return table;
}

TypeTable Types2D() {
    TypeTable table;
    for (const Barcode2DType& type : kBarcode2DTypes) {
        table.names.push_back(type.listText);
        table.entries.push_back(type.validatorSymbology);
    }
    return table;
}

int PrintList(const TypeTable& table) {
    constexpr size_t kDataColumn = 46;
    std::printf("--type  name (any letter case; spaces and hyphens may be left out)\n");
    std::printf("%*sdata\n", static_cast<int>(kDataColumn), "");
    for (size_t i = 0; i < table.names.size(); ++i) {
        std::string line = std::to_string(i);
        line.insert(0, 6 - line.size(), ' ');
        line += "  " + Ascii(table.names[i]);
        line.resize(kDataColumn, ' ');
        std::printf("%s%s\n", line.c_str(),
                    WrapText(DataRule(table.entries[i]), kUsageWidth, kDataColumn, line.size()).c_str());
    }
    return kExitOk;
}

int Report(TestPrintResult result, const std::string& typeName, size_t entry, size_t length) {
    switch (result) {
        case TestPrintResult::kPrinted:
            return kExitOk;
        case TestPrintResult::kInvalidData:
            return Refuse("BarCode data error! " + typeName + " takes " + DataRule(entry) + " (the data has " +
                          std::to_string(length) + (length == 1 ? " byte)" : " bytes)"));
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
int RunBarcodeJob(const Args& args,
                  Fonts PlugInDevMode::*fonts,
                  const TypeTable& types,
                  SampleOf sampleOf,
                  Sender send) {
    if (args.Flag("--list"))
        return PrintList(types);
    std::string error;
    const auto font = args.Number("--font", 0, static_cast<int>(std::extent_v<Fonts>) - 1, 0, error);
    if (!font)
        return Refuse(error);
    const auto record = ReadRecord(args, error);
    if (!record)
        return Refuse(error);
    auto settings = ((*record).*fonts)[static_cast<size_t>(*font)];
    if (const auto text = args.Value("--type")) {
        const auto type = TypeOf(*text, types.names, error);
        if (!type)
            return Refuse(error);
        settings.barcodeType = static_cast<uint8_t>(*type);
    }
    if (settings.barcodeType >= types.names.size())
        return Report(TestPrintResult::kUnknownSetting, "", 0, 0);
    const std::vector<uint8_t> data = DataBytes(args, sampleOf(settings.barcodeType));
    return Report(send(RawPrinterChannel(PrintingSpooler(args)), settings, data),
                  Ascii(types.names[settings.barcodeType]), types.entries[settings.barcodeType], data.size());
}

}  // namespace

int RunJobBarcode1D(const Args& args) {
    return RunBarcodeJob(
        args, &PlugInDevMode::barcode1D, Types1D(),
        [](unsigned type) {
            const Barcode1DType* t = FindBarcode1DType(type);
            return t ? t->sample : std::string_view();
        },
        SendBarcode1DTestPrint);
}

int RunJobBarcode2D(const Args& args) {
    return RunBarcodeJob(
        args, &PlugInDevMode::barcode2D, Types2D(), [](unsigned) { return kBarcode2DSample; }, SendBarcode2DTestPrint);
}

}  // namespace m450::tool
