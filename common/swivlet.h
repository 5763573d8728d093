/* Names the loader and every copy of the menu library agree on. */
#pragma once

/* Registered message a confirmed "exit" broadcasts; the loader's message loop
   ends on it, whichever program showed the menu. */
#define SWV_SHUTDOWN_MSG "Swivlet.Shutdown"

/* The profile section and its keys. */
#define SWV_SECTION "Swivlet"
#define SWV_KEY_PUSHTO "PushTo"
#define SWV_KEY_NOTITLE "DisableTitleMenu"
#define SWV_KEY_NODESKTOP "DisableDesktopMenu"

/* Named object held by the copy of the library whose mouse hook serves the
   desktop; copies the hook maps into other programs find it and add none. */
#define SWV_HOOK_NAME "Swivlet.Hook"
