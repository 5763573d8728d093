#include "state.h"
#include "../common/swivlet.h"

/* Values are kept as read: a hand-written PushTo other than 1 is a count. */
BOOL bSettingsRead;

void ReadSettings(void)
{
    bSettingsRead = TRUE;
    nPushTo = (int)GetProfileIntA(SWV_SECTION, SWV_KEY_PUSHTO, 0);
    bDisableTitleMenu = (int)GetProfileIntA(SWV_SECTION, SWV_KEY_NOTITLE, 0);
    bDisableDesktopMenu = (int)GetProfileIntA(SWV_SECTION, SWV_KEY_NODESKTOP, 0);
}

void EnsureSettings(void)
{
    if (!bSettingsRead)
        ReadSettings();
}
