/* The file-type list of the Open / Run dialog, assembled as the dialog does
   it: a pattern per extension, a pair per type while one fits with room for
   the closing pair, the closing pair, then the split into items.
   Input: "<cchFilter> <cchPattern>\n", then one type a line,
   "<extension>\t<description>\n". cchFilter always leaves room for the
   opening types and the closing pair, as the dialog's buffer does;
   cchPattern is 0..24 around the dialog's 20. */
#include "logic.h"

#include "fuzz_support.h"

static const char kStart[] = "*.exe;*.com   Program Files!*.exe;*.com!*.bat   Batch Files!*.bat!";
static const char kEnd[] = "*.*    All Files!*.*!!";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int endLength = FilterEndLength();
    FUZZ_CHECK(endLength == (int)strlen(kEnd));

    FuzzInput in(data, size);
    int cchFilter = in.Number((int)strlen(kStart) + endLength + 1, 1100);
    int cchPattern = in.Number(0, 24);

    GuardedBuffer filterBuffer(cchFilter);
    char *filter = filterBuffer.data();
    memcpy(filter, kStart, sizeof kStart);
    std::string expected = kStart;

    while (!in.AtEnd()) {
        std::string extension = in.Field('\t').c_str();
        std::string description = in.Field('\n').c_str();

        auto heapExtension = HeapString(extension);
        GuardedBuffer patternBuffer(cchPattern);
        char *pattern = patternBuffer.data();
        int made = MakeFilterPattern(pattern, cchPattern, heapExtension.get());
        FUZZ_CHECK(patternBuffer.Intact());
        /* A pattern is made exactly when "*", the extension and the
           terminator fit. */
        FUZZ_CHECK((made != 0) == (1 + extension.size() + 1 <= (size_t)cchPattern));
        if (!made) {
            if (cchPattern > 0)
                FUZZ_CHECK(pattern[0] == '\0');
            continue;
        }
        std::string expectedPattern = "*" + extension;
        FUZZ_CHECK(strcmp(pattern, expectedPattern.c_str()) == 0);

        auto heapDescription = HeapString(description);
        int added = AppendFilterPair(filter, cchFilter, endLength, pattern, heapDescription.get());
        std::string pair = expectedPattern + "   " +
                           (description.empty() ? "Document" : description) + "!" +
                           expectedPattern + "!";
        /* Taken exactly when it fits with the closing pair still to come;
           a pair refused leaves the list as it was. */
        bool fits = expected.size() + pair.size() + endLength < (size_t)cchFilter;
        FUZZ_CHECK((added != 0) == fits);
        if (added)
            expected += pair;
        FUZZ_CHECK(BoundedLength(filter, cchFilter) == expected.size());
        FUZZ_CHECK(memcmp(filter, expected.data(), expected.size()) == 0);
        FUZZ_CHECK(filterBuffer.Intact());
    }

    AppendFilterEnd(filter, cchFilter);
    expected += kEnd;
    size_t len = BoundedLength(filter, cchFilter);
    FUZZ_CHECK(len < (size_t)cchFilter);
    FUZZ_CHECK(len == expected.size());
    FUZZ_CHECK(memcmp(filter, expected.data(), len) == 0);
    FUZZ_CHECK(strcmp(filter + len - endLength, kEnd) == 0);
    FUZZ_CHECK(filterBuffer.Intact());

    SplitFilter(filter);
    for (size_t i = 0; i < len; i++)
        FUZZ_CHECK(filter[i] == (expected[i] == '!' ? '\0' : expected[i]));
    /* The end of the last pattern, the empty item and the terminator. */
    FUZZ_CHECK(filter[len - 2] == '\0' && filter[len - 1] == '\0' && filter[len] == '\0');
    FUZZ_CHECK(strcmp(filter + len - endLength, "*.*    All Files") == 0);
    FUZZ_CHECK(filterBuffer.Intact());
    return 0;
}
