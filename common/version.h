/* One version for both binaries; the .rc files take it from here. */
#pragma once

#define SWV_VERSION_BIN 1, 0, 3, 95
#define SWV_VERSION_STR "1.0.3.95"
