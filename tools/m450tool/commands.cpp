#include "commands.h"

namespace m450::tool {

namespace {

const OptionSpec kHex{"--hex", "", "one line of hex byte text instead of the bytes"};
const OptionSpec kRecordRaw{"--raw", "", "the record's bytes even to a terminal"};
const OptionSpec kJobRaw{"--raw", "", "the job's bytes as the printer receives them, all writes in order"};
const OptionSpec kMethod{"--method", "M", "halftone method: 0 none, 1 Dither M3, 2 Dither M4, 3 Error Diffuse"};
const OptionSpec kContrast{"--contrast", "C", "contrast, -100 to 100"};
const OptionSpec kBrightness{"--brightness", "B", "brightness, -100 to 100"};
const OptionSpec kData{"--data", "TEXT", "the test data (default: the type's sample)"};
const OptionSpec kDevMode{"--devmode", "FILE", "the fonts' settings from this record (default: a default record)"};
const OptionSpec kReplace{"--replace", "", "replace a file already at the working copy's path"};
const OptionSpec kList{"--list", "", "print the types with their names and data rules instead of a job"};
const OperandSpec kRecordFile{"FILE", "a private record (- reads standard input)"};

// The options of both barcode test prints; only the font's letter and range differ.
std::vector<OptionSpec> BarcodeOptions(std::string_view fontLetter, std::string_view fontHelp) {
    return {{"--type", "T", "the type by number or name (see --list); default: the font's own"},
            kData,
            kDevMode,
            {"--font", fontLetter, fontHelp},
            kList,
            kJobRaw};
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"devmode default", {}, {kHex, kRecordRaw}, RunDevModeDefault, "the default private record (1980 bytes)"},
        {"devmode convert",
         {kRecordFile},
         {kHex, kRecordRaw},
         RunDevModeConvert,
         "convert FILE's record into a default record"},
        {"devmode merge",
         {kRecordFile},
         {kHex, kRecordRaw},
         RunDevModeMerge,
         "merge FILE's record into a default record"},
        {"devmode show",
         {kRecordFile},
         {},
         RunDevModeShow,
         "every field of FILE's record by name, as the pages would get it"},
        {"devmode set",
         {kRecordFile, {"NAME=VALUE", "a field and its new value (names as devmode show prints them)", true}},
         {kHex, kRecordRaw},
         RunDevModeSet,
         "FILE's record with the fields changed, each clamped as its page clamps it"},
        {"hex",
         {{"TEXT", "hex byte text: hexadecimal digits and spaces"}},
         {},
         RunHex,
         "TEXT parsed as hex byte text and formatted back"},
        {"job barcode1d",
         {},
         BarcodeOptions("I", "the font, 0 to 7 (\"1D Code1\" to \"1D Code8\")"),
         RunJobBarcode1D,
         "the 1D test print of font I of FILE's record or a default record"},
        {"job barcode2d",
         {},
         BarcodeOptions("T", "the font, 0 or 1 (\"2D Code1\", \"2D Code2\")"),
         RunJobBarcode2D,
         "the 2D test print of font T of FILE's record or a default record"},
        {"job selftest", {}, {kJobRaw}, RunJobSelfTest, "the Utility page's self-test job"},
        {"job clear-logos", {}, {kJobRaw}, RunJobClearLogos, "the Download page's \"Clear All Logos\" job"},
        {"job logos",
         {{"FILE.bmp", "the logos in list order", true}},
         {{"--type", "mono|gray", "\"Transformation\" (mono) or \"Gray\", in any letter case", true},
          kMethod,
          kContrast,
          kBrightness,
          kJobRaw},
         RunJobLogos,
         "the \"Download all\" job of the files, each converted first"},
        {"job file",
         {{"FILE", "the file to download (- reads standard input)"}},
         {kJobRaw},
         RunJobFile,
         "the file download job of FILE"},
        {"decode",
         {{"FILE", "a raw stream: a port file or job --raw output (- reads standard input)"}},
         {{"--images", "DIR", "also write each logo defined in the stream as DIR/logo-K.png"}},
         RunDecode,
         "what the printer was told: one line per command of the stream in FILE"},
        {"watermark",
         {{"IN.bmp", "the chosen bitmap"}, {"OUT.bmp", "the picture file to write"}},
         {},
         RunWatermark,
         "convert IN.bmp into the watermark picture OUT.bmp; prints the result 1, 2 or 0"},
        {"convert mono",
         {{"IN.bmp", "the logo bitmap"}},
         {kMethod, kContrast, kBrightness, kReplace},
         RunConvertMono,
         "write IN.bmp's mono working copy, converted as the Download page converts it; prints its path"},
        {"convert gray",
         {{"IN.bmp", "the logo bitmap"}},
         {kContrast, kBrightness, kReplace},
         RunConvertGray,
         "write IN.bmp's gray working copy, converted as the Download page converts it; prints its path"},
    };
    return commands;
}

}  // namespace m450::tool
