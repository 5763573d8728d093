// The marks by which a test tells the stand-in window manager what to answer
// for a window: window properties, readable from any program.
#pragma once

// Present (non-zero): the window is cloaked, and the value is what DWM
// answers for it.
#define SWV_DWM_CLOAKED "SwvDwm.Cloaked"
// The borders of the window's rectangle that DWM does not draw, in physical
// pixels, a byte each: left, top, right and bottom from the lowest byte up.
#define SWV_DWM_BORDERS "SwvDwm.Borders"
#define SWV_DWM_PACK_BORDERS(l, t, r, b)                                                           \
    ((unsigned long)(l) | (unsigned long)(t) << 8 | (unsigned long)(r) << 16 |                     \
     (unsigned long)(b) << 24)
