// hex TEXT: a command field's text as the dialogs read it, shown as they would show it back.
// The fields' input filter lets only hexadecimal digits and spaces in, so the tool refuses
// any other character rather than read it as 0 as the parser would.
#include "commands.h"

#include "barcode/hex_text.h"

#include <string>

namespace m450::tool {

int RunHex(const Args& args) {
    const std::string_view text = args.Operand(0);
    const size_t bad = text.find_first_not_of("0123456789abcdefABCDEF ");
    if (bad != std::string_view::npos)
        return Refuse("hex byte text takes hexadecimal digits and spaces only; character " + std::to_string(bad + 1) +
                      " (\"" + std::string(text.substr(bad, 1)) + "\") is neither");
    WriteLine(FormatHexBytes(ParseHexBytes(Utf8ToUtf16(text))));
    return kExitOk;
}

}  // namespace m450::tool
