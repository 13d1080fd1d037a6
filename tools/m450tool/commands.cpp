#include "commands.h"

namespace m450::tool {

namespace {

const Command kCommands[] = {
    {"devmode default", "", "--hex", RunDevModeDefault, "the default private record (1980 bytes)"},
    {"devmode convert", "FILE", "--hex", RunDevModeConvert, "convert FILE's record into a default record"},
    {"devmode merge", "FILE", "--hex", RunDevModeMerge, "merge FILE's record into a default record"},
    {"hex", "TEXT", "", RunHex, "TEXT parsed as hex byte text and formatted back"},
    {"job barcode1d", "", "--type=N --data=TEXT --devmode=FILE --font=I", RunJobBarcode1D,
     "the 1D test print of font I (0..7) of FILE's record or a default record"},
    {"job barcode2d", "", "--type=N --data=TEXT --devmode=FILE --font=T", RunJobBarcode2D,
     "the 2D test print of font T (0..1) of FILE's record or a default record"},
    {"job selftest", "", "", RunJobSelfTest, "the Utility page's self-test job"},
    {"watermark", "IN.bmp OUT.bmp", "", RunWatermark,
     "convert IN.bmp into the watermark picture OUT.bmp; prints the result 1, 2 or 0"},
    {"convert mono", "IN.bmp", "--method=M --contrast=C --brightness=B --replace", RunConvertMono,
     "write IN.bmp's mono working copy (method 0-3) as the Download page does; prints its path"},
    {"convert gray", "IN.bmp", "--contrast=C --brightness=B --replace", RunConvertGray,
     "write IN.bmp's gray working copy as the Download page does; prints its path"},
    {"job clear-logos", "", "", RunJobClearLogos, "the Download page's \"Clear All Logos\" job"},
    {"job logos", "FILE.bmp...", "--type=mono|gray --method=M --contrast=C --brightness=B", RunJobLogos,
     "the \"Download all\" job of the files, each converted first"},
    {"job file", "FILE", "", RunJobFile, "the file download job of FILE"},
};

}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

}  // namespace m450::tool
