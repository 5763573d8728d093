/* PathNamePart and PathDirectoryPart.
   Input: "<cchDir>\n<path>": the directory buffer's size (-1..40, small so
   that directories often do not fit), then the path up to its first NUL. */
#include "logic.h"

#include "fuzz_support.h"

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int cchDir = in.Number(-1, 40);
    std::string path = in.Text();
    auto heapPath = HeapString(path);
    const char *start = heapPath.get();

    /* The name: a suffix with no separator in it, right after the last. */
    const char *name = PathNamePart(start);
    FUZZ_CHECK(name >= start && name <= start + path.size());
    size_t at = name - start;
    FUZZ_CHECK(at + strlen(name) == path.size());
    for (const char *p = name; *p; p++)
        FUZZ_CHECK(!IsSeparator(*p));
    FUZZ_CHECK(at == 0 || IsSeparator(path[at - 1]));

    GuardedBuffer dir(cchDir, '?');
    PathDirectoryPart(start, dir.data(), cchDir);
    if (cchDir > 0) {
        /* Up to and with the last backslash, or nothing when that does not
           fit whole. */
        size_t backslash = path.rfind('\\');
        size_t expected = backslash == std::string::npos ? 0 : backslash + 1;
        if (expected > (size_t)cchDir - 1)
            expected = 0;
        size_t n = BoundedLength(dir.data(), cchDir);
        FUZZ_CHECK(n < (size_t)cchDir);
        FUZZ_CHECK(n == expected);
        FUZZ_CHECK(memcmp(dir.data(), path.data(), n) == 0);
        FUZZ_CHECK(n == 0 || dir.data()[n - 1] == '\\');
        /* The name never starts inside the directory. */
        FUZZ_CHECK(at >= n);
    }
    FUZZ_CHECK(dir.Intact());
    FUZZ_CHECK(strcmp(start, path.c_str()) == 0);
    return 0;
}
