/* Platform-free pieces of the menu library: plain values in and out, no
   windows, so they can be tested and fuzzed on their own. */
#pragma once

enum {
    TASK_CAPTION_MAX = 40, /* longest caption a task entry shows whole */
    TASK_CAPTION_CUT = 36, /* characters kept before "..." in a cut caption */
};

/* A UTF-16 code unit: the system's WCHAR. */
#ifdef _WIN32
typedef wchar_t WideChar;
#else
typedef char16_t WideChar;
#endif

/* Lead-byte ranges of the ANSI code page in the system's form (CPINFO's
   LeadByte): pairs of first and last byte, ended by a zero byte or after
   LEAD_BYTE_TABLE bytes; null or all zeros for a single-byte code page. */
enum { LEAD_BYTE_TABLE = 12 };

/* Turns a window title into its task-menu caption: leading spaces dropped,
   a caption longer than 40 characters cut to its first 36 and "...".
   caption receives at most cchCaption characters with the terminator.
   Returns the caption's length; 0 means the window is not listed.
   Lengths count bytes in the ANSI form and UTF-16 units in the wide one;
   a cut keeps whole characters, so it drops a double-byte character (a lead
   byte of leadBytes and the byte after it) or a surrogate pair that would
   straddle it. */
int MakeTaskCaption(const char *title, char *caption, int cchCaption,
                    const unsigned char leadBytes[LEAD_BYTE_TABLE]);
int MakeTaskCaptionW(const WideChar *title, WideChar *caption, int cchCaption);

/* Writes "*" and the extension into pattern. Returns 0, leaving pattern
   empty, when that does not fit in cchPattern characters. */
int MakeFilterPattern(char *pattern, int cchPattern, const char *extension);

/* Appends the pair "pattern   description!pattern!" to the list in filter,
   "Document" standing in for an empty description. cchReserve characters
   stay free for what must still follow. Returns 0 and leaves the list as it
   was when the pair does not fit in cchFilter characters. */
int AppendFilterPair(char *filter, int cchFilter, int cchReserve, const char *pattern,
                     const char *description);

/* Length of the closing pair that AppendFilterEnd writes. */
int FilterEndLength(void);

/* Appends the closing "*.*    All Files" pair and the empty item that ends
   the list, cutting nothing else: the caller keeps room for it. */
void AppendFilterEnd(char *filter, int cchFilter);

/* Turns every "!" into NUL, turning the list into the dialog's form. */
void SplitFilter(char *text);

/* Splits typed text at its first space: text keeps what stands before it,
   args receives everything after it, further spaces included (at most
   cchArgs characters with the terminator). Without a space, args is empty. */
void SplitArguments(char *text, char *args, int cchArgs);

/* The name part of a path: what follows its last backslash, slash or drive
   colon. */
const char *PathNamePart(const char *path);

/* Writes the directory of a path, with its trailing backslash, into dir (at
   most cchDir characters with the terminator); empty when the path has no
   backslash. */
void PathDirectoryPart(const char *path, char *dir, int cchDir);

/* Tile grid for n windows: the smallest column count c with n / c <= c, and
   as many rows as the windows need. */
struct TileGrid {
    int columns;
    int rows;
    int cellWidth;
    int cellHeight;
};
TileGrid MakeTileGrid(int n, int screenWidth, int usableHeight);

struct Placement {
    int x, y, cx, cy;
};

/* Cell of the k-th placed window (0 = first), filled row by row. */
Placement TileCell(const TileGrid *grid, int k);

/* Place of the k-th window Cascade places, counting from the back-most (0):
   it starts k steps right and down and reaches the right edge of the screen
   and the bottom of the working area. Where a window would get less than
   minWidth by minHeight, the places begin again from the corner, as many
   windows on a small screen need. */
Placement CascadePlace(int k, int step, int screenWidth, int usableHeight, int minWidth,
                       int minHeight);

/* Copies text into out (at most cchOut units with the terminator) with
   every "&" doubled, so that a menu shows it rather than underlining the
   next character. Neither a doubled "&" nor a surrogate pair is cut in
   half. Returns the length. */
int EscapeMnemonicsW(const WideChar *text, WideChar *out, int cchOut);

/* Whether a window counts as cloaked, from the system's answer to the
   question: only a successful answer (result 0) with a non-zero value
   hides it. A question that failed leaves the window a task window. */
int CountsAsCloaked(long result, unsigned long cloaked);

struct Edges {
    int left, top, right, bottom;
};

/* The borders a window has outside its visible frame, in the caller's
   pixels: window is the window's rectangle as the caller sees it,
   physWindow and physFrame the rectangle and the visible frame in physical
   pixels, scaled into the caller's pixels by the sizes of the two
   rectangles. All 0 when the frame does not lie within the rectangle,
   either is empty, or a side of either rectangle is longer than
   BORDER_SIDE_MAX: then the system reports no difference. */
enum { BORDER_SIDE_MAX = 32767 };
Edges InvisibleBorders(Edges window, Edges physWindow, Edges physFrame);

/* The window placement whose visible frame fills place: grown by the
   borders on each side. */
Placement PlaceVisibleFrame(Placement place, Edges borders);
