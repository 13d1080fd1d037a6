// hex TEXT: a command field's text as the dialogs read it, shown as they would show it back.
#include "commands.h"

#include "barcode/hex_text.h"

namespace m450::tool {

int RunHex(const Args& args) {
    WriteLine(FormatHexBytes(ParseHexBytes(Utf8ToUtf16(args.Operand(0)))));
    return kExitOk;
}

}  // namespace m450::tool
