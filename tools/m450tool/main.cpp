// m450tool: a command-line companion over the portable core. The first words name a command
// of the table in commands.cpp; the rest are its operands and options (args.cpp).
#include "tool.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Records and jobs go in and out byte for byte, and text lines end in a bare line feed on
    // every system.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    int result = m450::tool::RunCommandLine(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        result = m450::tool::Refuse("cannot write the output");
    return result;
}
