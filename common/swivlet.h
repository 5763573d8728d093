/* Names the loader and every copy of the menu library agree on. */
#pragma once

/* Registered message a confirmed "exit" broadcasts: the library's copy in the
   program that started the menu ends that program's message loop. A loader
   that ends broadcasts it too, with its width in wParam: then only loaders
   of the other width, its partners on 64-bit Windows, end with it. */
#define SWV_SHUTDOWN_MSG "Swivlet.Shutdown"

/* The width of this build, as the shutdown message carries it. */
#define SWV_WIDTH ((WPARAM)(sizeof(void *) * 8))

/* Exit code of WM_QUIT when a partner's end ended the loop: the loader then
   tells no partner of its own. */
#define SWV_QUIT_FOR_PARTNER 2

/* Named while a loader of that width runs its menu. */
#define SWV_HOST_MARK_32 "Local\\Swivlet.Host.32"
#define SWV_HOST_MARK_64 "Local\\Swivlet.Host.64"
#define SWV_HOST_MARK (sizeof(void *) == 8 ? SWV_HOST_MARK_64 : SWV_HOST_MARK_32)
#define SWV_PARTNER_MARK (sizeof(void *) == 8 ? SWV_HOST_MARK_32 : SWV_HOST_MARK_64)

/* The menu library of this width: the two widths' hook libraries need names
   of their own. Each build of it lies in a folder of its own beside the
   loader, the prefix followed by eight hex digits of its bytes' hash. */
#ifdef _WIN64
#define SWV_LIBRARY "swv64.dll"
#define SWV_BUILD_PREFIX "swv64-"
#else
#define SWV_LIBRARY "swv32.dll"
#define SWV_BUILD_PREFIX "swv32-"
#endif
#define SWV_BUILD_HASH_CHARS 8

/* The profile section and its keys. */
#define SWV_SECTION "Swivlet"
#define SWV_KEY_PUSHTO "PushTo"
#define SWV_KEY_NOTITLE "DisableTitleMenu"
#define SWV_KEY_NODESKTOP "DisableDesktopMenu"

/* A program that starts the menu marks itself by exporting a symbol of this
   name: the copy of the library it loads installs the mouse hook. Copies the
   hook maps into other programs install none of their own. */
#define SWV_HOST_EXPORT "SwivletHost"
