/* SplitFilter.
   Input: any bytes. The first NUL ends the text; what follows it must be
   left as it was. */
#include "logic.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    /* Exactly the input and a terminator, so a run past it is caught. */
    std::unique_ptr<char[]> text(new char[size + 1]);
    memcpy(text.get(), data, size);
    text[size] = '\0';
    size_t len = 0;
    while (len < size && data[len])
        len++;

    SplitFilter(text.get());

    size_t bangs = 0, nuls = 0;
    for (size_t i = 0; i < len; i++) {
        FUZZ_CHECK(text[i] != '!');
        FUZZ_CHECK(text[i] == (data[i] == '!' ? '\0' : (char)data[i]));
        bangs += data[i] == '!';
        nuls += text[i] == '\0';
    }
    FUZZ_CHECK(nuls == bangs);
    for (size_t i = len; i < size; i++)
        FUZZ_CHECK(text[i] == (char)data[i]);
    FUZZ_CHECK(text[size] == '\0');
    return 0;
}
