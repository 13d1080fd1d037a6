// The command table of m450tool and its handlers.
//
// Adding a command: write `int RunSomething(const Args&)` in the topic's *_commands.cpp,
// declare it here, and add one row to the table in commands.cpp; the command line (args.cpp)
// is built from the table.
#pragma once

#include "tool.h"

#include "core/devmode.h"

#include <vector>

namespace m450::tool {

const std::vector<Command>& Commands();

// devmode_commands.cpp
int RunDevModeDefault(const Args& args);
int RunDevModeConvert(const Args& args);
int RunDevModeMerge(const Args& args);
int RunDevModeShow(const Args& args);
int RunDevModeSet(const Args& args);
// FILE's record as the host hands it to the pages (merged into a default record); a record of
// another driver is said on stderr, as its defaults are used.
std::optional<PlugInDevMode> RecordForPages(std::string_view path, std::string& error);

// hex_commands.cpp
int RunHex(const Args& args);

// barcode_commands.cpp
int RunJobBarcode1D(const Args& args);
int RunJobBarcode2D(const Args& args);

// decode_commands.cpp
int RunDecode(const Args& args);

// watermark_commands.cpp
int RunWatermark(const Args& args);

// utility_commands.cpp
int RunJobSelfTest(const Args& args);

// logo_commands.cpp
int RunConvertMono(const Args& args);
int RunConvertGray(const Args& args);
int RunJobClearLogos(const Args& args);
int RunJobLogos(const Args& args);
int RunJobFile(const Args& args);

}  // namespace m450::tool
