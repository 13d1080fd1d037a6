#include "commands.h"

namespace m450::tool {

namespace {

const Command kCommands[] = {
    {"devmode default", "", "--hex", RunDevModeDefault, "the default private record (1980 bytes)"},
    {"devmode convert", "FILE", "--hex", RunDevModeConvert, "convert FILE's record into a default record"},
    {"devmode merge", "FILE", "--hex", RunDevModeMerge, "merge FILE's record into a default record"},
    {"hex", "TEXT", "", RunHex, "TEXT parsed as hex byte text and formatted back"},
};

}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

}  // namespace m450::tool
