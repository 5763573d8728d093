/* SplitArguments.
   Input: "<cchArgs>\n<typed text>": the argument buffer's size (-1..160;
   the dialog uses 128), then the typed text up to its first NUL. */
#include "logic.h"

#include "fuzz_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int cchArgs = in.Number(-1, 160);
    std::string typed = in.Text();

    auto text = HeapString(typed);
    GuardedBuffer args(cchArgs, '?');
    SplitArguments(text.get(), args.data(), cchArgs);

    size_t space = typed.find(' ');
    std::string expectedArgs;
    if (space == std::string::npos) {
        FUZZ_CHECK(strcmp(text.get(), typed.c_str()) == 0);
    } else {
        /* The first space becomes the terminator; nothing else changes. */
        FUZZ_CHECK(memcmp(text.get(), typed.data(), space) == 0);
        FUZZ_CHECK(text[space] == '\0');
        FUZZ_CHECK(strcmp(text.get() + space + 1, typed.c_str() + space + 1) == 0);
        expectedArgs = typed.substr(space + 1);
    }
    if (cchArgs > 0) {
        bool cut = expectedArgs.size() > (size_t)cchArgs - 1;
        expectedArgs.resize(std::min(expectedArgs.size(), (size_t)cchArgs - 1));
        size_t n = BoundedLength(args.data(), cchArgs);
        FUZZ_CHECK(n < (size_t)cchArgs);
        FUZZ_CHECK(n == expectedArgs.size());
        FUZZ_CHECK(memcmp(args.data(), expectedArgs.data(), n) == 0);
        /* Uncut, name, space and arguments give back what was typed. */
        if (space != std::string::npos && !cut)
            FUZZ_CHECK(std::string(text.get()) + " " + args.data() == typed);
    }
    FUZZ_CHECK(args.Intact());
    return 0;
}
