#include "logic.h"

static int TextLength(const char *s)
{
    int n = 0;
    while (s[n])
        n++;
    return n;
}

/* Appends src to dst (capacity cch); returns 0 and changes nothing when it
   does not fit. */
static int AppendText(char *dst, int cch, const char *src)
{
    int len = TextLength(dst);
    int add = TextLength(src);
    if (len + add >= cch)
        return 0;
    for (int i = 0; i <= add; i++)
        dst[len + i] = src[i];
    return 1;
}

static bool IsLeadByte(unsigned char b, const unsigned char *leadBytes)
{
    if (!leadBytes)
        return false;
    for (int i = 0; i + 1 < LEAD_BYTE_TABLE && leadBytes[i]; i += 2)
        if (b >= leadBytes[i] && b <= leadBytes[i + 1])
            return true;
    return false;
}

/* Units of the character that starts at s (not its terminator): a lead
   byte or high surrogate takes the unit after it along, unless that is the
   terminator or, for a surrogate, not a low one. */
struct AnsiChars {
    const unsigned char *leadBytes;
    int Size(const char *s) const
    {
        return IsLeadByte((unsigned char)s[0], leadBytes) && s[1] ? 2 : 1;
    }
};

struct Utf16Chars {
    int Size(const WideChar *s) const
    {
        return s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF ? 2 : 1;
    }
};

/* The units of the whole characters at the start of s that fit in limit
   units; s holds at least limit units before its terminator. */
template <class Ch, class Chars> static int WholeChars(const Ch *s, int limit, const Chars &chars)
{
    int n = 0;
    while (n < limit) {
        int size = chars.Size(s + n);
        if (n + size > limit)
            break;
        n += size;
    }
    return n;
}

template <class Ch, class Chars>
static int BuildTaskCaption(const Ch *title, Ch *caption, int cchCaption, const Chars &chars)
{
    if (cchCaption <= 0)
        return 0;
    while (*title == ' ')
        title++;
    int len = 0;
    while (title[len] && len <= TASK_CAPTION_MAX)
        len++;
    bool cut = len > TASK_CAPTION_MAX;
    int keep = WholeChars(title, cut ? TASK_CAPTION_CUT : len, chars);
    /* A smaller buffer takes what it can of the caption, in whole characters. */
    if (keep > cchCaption - 1) {
        keep = WholeChars(title, cchCaption - 1, chars);
        cut = false;
    }
    int out = 0;
    for (; out < keep; out++)
        caption[out] = title[out];
    if (cut)
        for (int i = 0; i < 3 && out < cchCaption - 1; i++)
            caption[out++] = '.';
    caption[out] = '\0';
    return out;
}

int MakeTaskCaption(const char *title, char *caption, int cchCaption,
                    const unsigned char leadBytes[LEAD_BYTE_TABLE])
{
    AnsiChars chars = {leadBytes};
    return BuildTaskCaption(title, caption, cchCaption, chars);
}

int MakeTaskCaptionW(const WideChar *title, WideChar *caption, int cchCaption)
{
    return BuildTaskCaption(title, caption, cchCaption, Utf16Chars());
}

int MakeFilterPattern(char *pattern, int cchPattern, const char *extension)
{
    if (cchPattern <= 0)
        return 0;
    pattern[0] = '\0';
    if (1 + TextLength(extension) >= cchPattern)
        return 0;
    pattern[0] = '*';
    pattern[1] = '\0';
    return AppendText(pattern, cchPattern, extension);
}

int AppendFilterPair(char *filter, int cchFilter, int cchReserve, const char *pattern,
                     const char *description)
{
    if (!description[0])
        description = "Document";
    int len = TextLength(filter);
    int need = 2 * TextLength(pattern) + 3 + TextLength(description) + 2;
    if (len + need + cchReserve >= cchFilter)
        return 0;
    AppendText(filter, cchFilter, pattern);
    AppendText(filter, cchFilter, "   ");
    AppendText(filter, cchFilter, description);
    AppendText(filter, cchFilter, "!");
    AppendText(filter, cchFilter, pattern);
    AppendText(filter, cchFilter, "!");
    return 1;
}

static const char szFilterEnd[] = "*.*    All Files!*.*!!";

int FilterEndLength(void)
{
    return (int)sizeof szFilterEnd - 1;
}

void AppendFilterEnd(char *filter, int cchFilter)
{
    AppendText(filter, cchFilter, szFilterEnd);
}

void SplitFilter(char *text)
{
    for (; *text; text++)
        if (*text == '!')
            *text = '\0';
}

void SplitArguments(char *text, char *args, int cchArgs)
{
    if (cchArgs > 0)
        args[0] = '\0';
    char *space = text;
    while (*space && *space != ' ')
        space++;
    if (!*space)
        return;
    *space = '\0';
    const char *rest = space + 1;
    int i = 0;
    for (; rest[i] && i < cchArgs - 1; i++)
        args[i] = rest[i];
    if (cchArgs > 0)
        args[i] = '\0';
}

const char *PathNamePart(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}

void PathDirectoryPart(const char *path, char *dir, int cchDir)
{
    if (cchDir <= 0)
        return;
    int end = 0;
    for (int i = 0; path[i]; i++)
        if (path[i] == '\\')
            end = i + 1;
    if (end > cchDir - 1)
        end = 0; /* a directory that does not fit is no directory */
    for (int i = 0; i < end; i++)
        dir[i] = path[i];
    dir[end] = '\0';
}

TileGrid MakeTileGrid(int n, int screenWidth, int usableHeight)
{
    TileGrid g = {1, 1, screenWidth, usableHeight};
    if (n <= 0)
        return g;
    while (n / g.columns > g.columns)
        g.columns++;
    g.rows = n / g.columns + (n % g.columns ? 1 : 0);
    g.cellWidth = screenWidth / g.columns;
    g.cellHeight = usableHeight / g.rows;
    return g;
}

Placement TileCell(const TileGrid *grid, int k)
{
    Placement p = {(k % grid->columns) * grid->cellWidth, (k / grid->columns) * grid->cellHeight,
                   grid->cellWidth, grid->cellHeight};
    return p;
}

Placement CascadePlace(int k, int step, int screenWidth, int usableHeight, int minWidth,
                       int minHeight)
{
    int offset = k * step;
    if (step > 0) {
        /* Places whose window keeps the minimum size; past them the
           cascade begins again at the corner. */
        int across = (screenWidth - minWidth) / step;
        int down = (usableHeight - minHeight) / step;
        int fit = across < down ? across : down;
        int places = fit > 0 ? fit + 1 : 1;
        offset = (k % places) * step;
    }
    Placement p = {offset, offset, screenWidth - offset, usableHeight - offset};
    return p;
}

int EscapeMnemonicsW(const WideChar *text, WideChar *out, int cchOut)
{
    if (cchOut <= 0)
        return 0;
    Utf16Chars chars;
    int n = 0;
    while (*text) {
        int size = chars.Size(text);
        int need = *text == '&' ? 2 : size;
        if (n + need > cchOut - 1)
            break;
        for (int i = 0; i < size; i++)
            out[n++] = text[i];
        if (*text == '&')
            out[n++] = '&';
        text += size;
    }
    out[n] = '\0';
    return n;
}

int CountsAsCloaked(long result, unsigned long cloaked)
{
    return result == 0 && cloaked != 0;
}

/* n scaled by num / den, rounded to the nearest; 0 <= n <= den, and num
   and den at most BORDER_SIDE_MAX, so that the product fits an int. */
static int Scale(int n, int num, int den)
{
    return (n * num + den / 2) / den;
}

Edges InvisibleBorders(Edges window, Edges physWindow, Edges physFrame)
{
    Edges none = {0, 0, 0, 0};
    int cx = window.right - window.left, cy = window.bottom - window.top;
    int physCx = physWindow.right - physWindow.left, physCy = physWindow.bottom - physWindow.top;
    if (cx <= 0 || cy <= 0 || physCx <= 0 || physCy <= 0 || cx > BORDER_SIDE_MAX ||
        cy > BORDER_SIDE_MAX || physCx > BORDER_SIDE_MAX || physCy > BORDER_SIDE_MAX)
        return none;
    if (physFrame.left < physWindow.left || physFrame.top < physWindow.top ||
        physFrame.right > physWindow.right || physFrame.bottom > physWindow.bottom ||
        physFrame.left >= physFrame.right || physFrame.top >= physFrame.bottom)
        return none;
    Edges b = {Scale(physFrame.left - physWindow.left, cx, physCx),
               Scale(physFrame.top - physWindow.top, cy, physCy),
               Scale(physWindow.right - physFrame.right, cx, physCx),
               Scale(physWindow.bottom - physFrame.bottom, cy, physCy)};
    return b;
}

Placement PlaceVisibleFrame(Placement place, Edges borders)
{
    Placement p = {place.x - borders.left, place.y - borders.top,
                   place.cx + borders.left + borders.right,
                   place.cy + borders.top + borders.bottom};
    return p;
}
