// devmode default | convert FILE | merge FILE: the private record as the host would get it.
#include "commands.h"

#include "core/devmode.h"

namespace m450::tool {

namespace {

using DevModeOperation = void (*)(std::span<const uint8_t>, PlugInDevMode*, std::u16string_view);

// The output starts as a default record, as the host's does before it converts or merges;
// bytes that Default leaves alone are zero.
int RunOnFile(const Args& args, DevModeOperation operation) {
    std::string error;
    const auto input = ReadInputFile(args.Operand(0), error);
    if (!input)
        return Refuse(error);
    if (input->size() < sizeof(DevModeHeader))
        return Refuse(std::string(args.Operand(0)) + " is shorter than the 12-byte record header");
    const std::u16string systemDirectory = SystemDirectory();
    PlugInDevMode record{};
    DefaultDevMode(record, systemDirectory);
    operation(*input, &record, systemDirectory);
    return WriteBinaryOutput(args, DevModeBytes(record));
}

}  // namespace

int RunDevModeDefault(const Args& args) {
    PlugInDevMode record{};
    DefaultDevMode(record, SystemDirectory());
    return WriteBinaryOutput(args, DevModeBytes(record));
}

int RunDevModeShow(const Args& args) {
    return Refuse("not yet");
}

int RunDevModeSet(const Args& args) {
    return Refuse("not yet");
}

int RunDevModeConvert(const Args& args) {
    return RunOnFile(args, ConvertDevMode);
}

int RunDevModeMerge(const Args& args) {
    return RunOnFile(args, MergeDevMode);
}

}  // namespace m450::tool
