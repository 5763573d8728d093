/* Names the loader and every copy of the menu library agree on. */
#pragma once

/* Registered message a confirmed "exit" broadcasts: the library's copy in the
   program that started the menu ends that program's message loop. */
#define SWV_SHUTDOWN_MSG "Swivlet.Shutdown"

/* The profile section and its keys. */
#define SWV_SECTION "Swivlet"
#define SWV_KEY_PUSHTO "PushTo"
#define SWV_KEY_NOTITLE "DisableTitleMenu"
#define SWV_KEY_NODESKTOP "DisableDesktopMenu"

/* A program that starts the menu marks itself by exporting a symbol of this
   name: the copy of the library it loads installs the mouse hook. Copies the
   hook maps into other programs install none of their own. */
#define SWV_HOST_EXPORT "SwivletHost"
