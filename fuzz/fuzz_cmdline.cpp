/* CommandTail against a model of the command line: a program name, quoted
   (to the closing quote or the end) or up to the first blank or tab, then
   blanks and tabs.
   Input: the command line, up to its first NUL. */
#include "fuzz_support.h"

#include <algorithm>

#include "cmdline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    std::string line = in.Text();
    auto heapLine = HeapString(line);
    const char *start = heapLine.get();

    const char *tail = CommandTail(start);

    FUZZ_CHECK(tail >= start && tail <= start + line.size());
    size_t skipped = tail - start;
    FUZZ_CHECK(*tail != ' ' && *tail != '\t');
    /* A suffix of the line, ending at the line's own terminator. */
    FUZZ_CHECK(skipped + strlen(tail) == line.size());
    FUZZ_CHECK(line.compare(skipped, std::string::npos, tail) == 0);
    FUZZ_CHECK(strcmp(start, line.c_str()) == 0);

    size_t nameEnd;
    if (!line.empty() && line[0] == '"') {
        size_t quote = line.find('"', 1);
        nameEnd = quote == std::string::npos ? line.size() : quote + 1;
    } else {
        nameEnd = std::min(line.find_first_of(" \t"), line.size());
    }
    size_t expected = std::min(line.find_first_not_of(" \t", nameEnd), line.size());
    FUZZ_CHECK(skipped == expected);
    return 0;
}
