// hex TEXT: a command field's text as the dialogs read it, shown as they would show it back.
// The fields' input filter lets only hexadecimal digits and spaces in, so the tool refuses
// any other character rather than read it as 0 as the parser would.
#include "commands.h"

#include "core/hex_text.h"

#include <algorithm>
#include <string>

namespace m450::tool {

int RunHex(const Args& args) {
    // Counted in characters, and the character shown whole, whatever its length in UTF-8.
    const std::u16string text = Utf8ToUtf16(args.Operand(0));
    const size_t bad = text.find_first_not_of(u"0123456789abcdefABCDEF ");
    if (bad != std::u16string::npos) {
        const bool pair = bad + 1 < text.size() && text[bad] >= 0xD800 && text[bad] <= 0xDBFF &&
                          text[bad + 1] >= 0xDC00 && text[bad + 1] <= 0xDFFF;
        const size_t position =
            bad - static_cast<size_t>(std::count_if(text.begin(), text.begin() + bad, [](char16_t c) {
                return c >= 0xDC00 && c <= 0xDFFF;  // the second halves of the pairs before
            }));
        return Refuse("hex byte text takes hexadecimal digits and spaces only; character " +
                      std::to_string(position + 1) + " (\"" + Utf16ToUtf8(text.substr(bad, pair ? 2 : 1)) +
                      "\") is neither");
    }
    WriteLine(FormatHexBytes(ParseHexBytes(text)));
    return kExitOk;
}

}  // namespace m450::tool
