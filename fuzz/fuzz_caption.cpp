/* MakeTaskCaption, MakeTaskCaptionW and EscapeMnemonicsW against models of
   their rules. Input: "<cch>\n<title>": the caption buffer's size (-2..80;
   the task list uses 41), then the window title. The title's bytes up to
   the first NUL are an ANSI title, read once in a single-byte code page and
   once in a double-byte one; the same bytes taken two at a time (low byte
   first) up to a zero unit are a UTF-16 title. */
#include "logic.h"

#include "fuzz_support.h"

#include <vector>

namespace
{

/* Lead bytes of code page 932, the double-byte code page of the model. */
const unsigned char kLeadBytes932[LEAD_BYTE_TABLE] = {0x81, 0x9F, 0xE0, 0xFC};

template <class Ch> using Text = std::basic_string<Ch>;

/* The title split into its characters: a byte of 0x81-0x9F or 0xE0-0xFC
   with the byte after it when doubleByte, a high surrogate (D800-DBFF) with
   a low one (DC00-DFFF) after it, else one unit. */
std::vector<Text<char>> Characters(const Text<char> &s, bool doubleByte)
{
    std::vector<Text<char>> chars;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = (unsigned char)s[i];
        bool lead = doubleByte && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
        size_t n = lead && i + 1 < s.size() ? 2 : 1;
        chars.push_back(s.substr(i, n));
        i += n;
    }
    return chars;
}

std::vector<Text<WideChar>> Characters(const Text<WideChar> &s, bool)
{
    std::vector<Text<WideChar>> chars;
    for (size_t i = 0; i < s.size();) {
        bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
                    s[i + 1] <= 0xDFFF;
        size_t n = pair ? 2 : 1;
        chars.push_back(s.substr(i, n));
        i += n;
    }
    return chars;
}

/* The longest run of whole characters from the front within limit units. */
template <class Ch> Text<Ch> Prefix(const std::vector<Text<Ch>> &chars, size_t limit)
{
    Text<Ch> out;
    for (const Text<Ch> &c : chars) {
        if (out.size() + c.size() > limit)
            break;
        out += c;
    }
    return out;
}

/* Leading spaces go, then a caption over 40 units becomes its whole
   characters within the first 36 and "...", and the buffer takes what it
   can of that in whole characters. */
template <class Ch> Text<Ch> ModelCaption(const Text<Ch> &title, int cch, bool doubleByte)
{
    size_t first = title.find_first_not_of(Ch(' '));
    Text<Ch> shown = first == Text<Ch>::npos ? Text<Ch>() : title.substr(first);
    if (shown.size() > TASK_CAPTION_MAX)
        shown = Prefix(Characters(shown, doubleByte), TASK_CAPTION_CUT) + Text<Ch>(3, Ch('.'));
    FUZZ_CHECK(shown.size() <= TASK_CAPTION_MAX);
    return cch <= 0 ? Text<Ch>() : Prefix(Characters(shown, doubleByte), (size_t)cch - 1);
}

template <class Ch>
void CheckCaption(const Text<Ch> &title, int cch, bool doubleByte,
                  int (*make)(const Ch *, Ch *, int, bool))
{
    /* Heap copies bounded by guards, so that a read or write past either
       end is caught. */
    auto heapTitle = HeapString(title);
    GuardedBuffer caption(cch * (int)sizeof(Ch));
    Ch *out = reinterpret_cast<Ch *>(caption.data());
    int len = make(heapTitle.get(), out, cch, doubleByte);
    Text<Ch> expected = ModelCaption(title, cch, doubleByte);
    FUZZ_CHECK(len == (int)expected.size());
    if (cch > 0)
        FUZZ_CHECK(Text<Ch>(out, len) == expected && out[len] == 0);
    /* Listed exactly when the title has more than spaces (given room for
       a character of two units). */
    if (cch >= 3)
        FUZZ_CHECK((len == 0) == (title.find_first_not_of(Ch(' ')) == Text<Ch>::npos));
    FUZZ_CHECK(caption.Intact());
}

int MakeAnsi(const char *title, char *caption, int cch, bool doubleByte)
{
    return MakeTaskCaption(title, caption, cch, doubleByte ? kLeadBytes932 : nullptr);
}

int MakeWide(const WideChar *title, WideChar *caption, int cch, bool)
{
    return MakeTaskCaptionW(title, caption, cch);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int cch = in.Number(-2, 80);
    std::string bytes = in.Rest();

    std::string title = bytes.substr(0, bytes.find('\0'));
    CheckCaption<char>(title, cch, false, MakeAnsi);
    CheckCaption<char>(title, cch, true, MakeAnsi);

    Text<WideChar> wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        WideChar unit = (WideChar)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8);
        if (!unit)
            break;
        wide += unit;
    }
    CheckCaption<WideChar>(wide, cch, false, MakeWide);

    /* The menu entry: every "&" doubled, as much as fits without splitting
       a pair of "&" or of surrogates. */
    auto heapWide = HeapString(wide);
    GuardedBuffer entry(cch * (int)sizeof(WideChar));
    WideChar *out = reinterpret_cast<WideChar *>(entry.data());
    int elen = EscapeMnemonicsW(heapWide.get(), out, cch);
    Text<WideChar> doubled;
    for (const Text<WideChar> &c : Characters(wide, false)) {
        Text<WideChar> piece = c[0] == '&' ? Text<WideChar>(2, '&') : c;
        if (cch <= 0 || doubled.size() + piece.size() > (size_t)cch - 1)
            break;
        doubled += piece;
    }
    FUZZ_CHECK(elen == (int)doubled.size());
    if (cch > 0)
        FUZZ_CHECK(Text<WideChar>(out, elen) == doubled && out[elen] == 0);
    FUZZ_CHECK(entry.Intact());
    return 0;
}
