#include "state.h"
#include "../common/swivlet.h"
#include "../common/userini.h"

/* Values are kept as read: a hand-written PushTo other than 1 is a count. */
BOOL bSettingsRead;

/* The user's file first; WIN.INI, where settings lived before, counts for
   each key the file does not hold. */
static int ReadKey(const char *key, const char *file)
{
    INT fromWinIni = (INT)GetProfileIntA(SWV_SECTION, key, 0);
    return file ? (int)GetPrivateProfileIntA(SWV_SECTION, key, fromWinIni, file) : fromWinIni;
}

void ReadSettings(void)
{
    char szFile[MAX_PATH];
    const char *file = UserSettingsPath(szFile, sizeof szFile, FALSE) ? szFile : NULL;
    bSettingsRead = TRUE;
    nPushTo = ReadKey(SWV_KEY_PUSHTO, file);
    bDisableTitleMenu = ReadKey(SWV_KEY_NOTITLE, file);
    bDisableDesktopMenu = ReadKey(SWV_KEY_NODESKTOP, file);
}

void EnsureSettings(void)
{
    if (!bSettingsRead)
        ReadSettings();
}
