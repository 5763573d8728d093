// The exports' types as the tests call them, against the library's own
// declarations: in the 32-bit build a change of calling convention fails
// to compile here, so a machine that runs no 32-bit code sees it too.
#include "library.h"
#include "state.h"

#include <type_traits>

#define SWV_SAME_TYPE(member, function)                                                            \
    static_assert(std::is_same<decltype(swv::SwvLib::member), decltype(&function)>::value,         \
                  #function " is not declared as its callers call it")

SWV_SAME_TYPE(DllEntryPoint, DllEntryPoint);
SWV_SAME_TYPE(FMDeskWndProc, FMDeskWndProc);
SWV_SAME_TYPE(FMMouseHook, FMMouseHook);
SWV_SAME_TYPE(EnumWndProc, EnumWndProc);
SWV_SAME_TYPE(OpenHook, OpenHook);
SWV_SAME_TYPE(TileWindows, SwvTileWindows);
SWV_SAME_TYPE(CascadeWindows, SwvCascadeWindows);
SWV_SAME_TYPE(Push, Push);
SWV_SAME_TYPE(Run, Run);
SWV_SAME_TYPE(SetWindow, SetWindow);
SWV_SAME_TYPE(GetTaskWindowNumber, GetTaskWindowNumber);
SWV_SAME_TYPE(GetWindowTitle, GetWindowTitle);
SWV_SAME_TYPE(GetWindowHandle, GetWindowHandle);
