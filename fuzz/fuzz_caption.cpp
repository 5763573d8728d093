/* MakeTaskCaption and EscapeMnemonics against models of their rules.
   Input: "<cch>\n<title>": the caption buffer's size (-2..80; the task list
   uses 41), then the window title up to its first NUL. */
#include "logic.h"

#include "fuzz_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int cch = in.Number(-2, 80);
    std::string title = in.Text();

    auto heapTitle = HeapString(title);
    GuardedBuffer caption(cch);
    int len = MakeTaskCaption(heapTitle.get(), caption.data(), cch);

    /* Leading spaces go, then a caption over 40 characters becomes its first
       36 and "...", and the buffer takes what it can of that. */
    size_t first = title.find_first_not_of(' ');
    std::string shown = first == std::string::npos ? "" : title.substr(first);
    if (shown.size() > TASK_CAPTION_MAX)
        shown = shown.substr(0, TASK_CAPTION_CUT) + "...";
    FUZZ_CHECK(shown.size() <= TASK_CAPTION_MAX);

    if (cch <= 0) {
        FUZZ_CHECK(len == 0);
    } else {
        shown.resize(std::min(shown.size(), (size_t)cch - 1));
        FUZZ_CHECK(len == (int)shown.size());
        FUZZ_CHECK(BoundedLength(caption.data(), cch) == (size_t)len);
        FUZZ_CHECK(memcmp(caption.data(), shown.data(), len) == 0);
    }
    /* Listed exactly when the title has more than spaces. */
    if (cch >= 2)
        FUZZ_CHECK((len == 0) == (first == std::string::npos));
    FUZZ_CHECK(caption.Intact());
    FUZZ_CHECK(strcmp(heapTitle.get(), title.c_str()) == 0);

    /* The menu entry: every "&" doubled, as much as fits without splitting
       a pair. */
    GuardedBuffer entry(cch);
    int elen = EscapeMnemonics(heapTitle.get(), entry.data(), cch);
    std::string doubled;
    for (char c : title) {
        std::string piece = c == '&' ? "&&" : std::string(1, c);
        if (cch <= 0 || doubled.size() + piece.size() > (size_t)cch - 1)
            break;
        doubled += piece;
    }
    FUZZ_CHECK(elen == (int)doubled.size());
    if (cch > 0)
        FUZZ_CHECK(BoundedLength(entry.data(), cch) == (size_t)elen &&
                   memcmp(entry.data(), doubled.data(), elen) == 0);
    FUZZ_CHECK(entry.Intact());
    return 0;
}
