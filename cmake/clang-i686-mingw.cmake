# Cross-compile the 32-bit Windows binaries with clang on Linux, against the
# MinGW-w64 headers and libraries; GNU ld and windres of MinGW-w64 link the
# binaries and compile their resources.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(SWV_MINGW_PREFIX i686-w64-mingw32)
set(SWV_MINGW_SYSROOT /usr/${SWV_MINGW_PREFIX})
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${SWV_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${SWV_MINGW_PREFIX})
set(CMAKE_RC_COMPILER ${SWV_MINGW_PREFIX}-windres)
set(CMAKE_SYSROOT ${SWV_MINGW_SYSROOT})

# clang does not find libgcc of Debian's MinGW-w64 GCC, whose folder is named
# "12-posix" rather than a bare version: ask that GCC where it is.
execute_process(COMMAND ${SWV_MINGW_PREFIX}-gcc-posix -print-libgcc-file-name
  OUTPUT_VARIABLE SWV_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE SWV_LIBGCC_RC)
if(NOT SWV_LIBGCC_RC EQUAL 0 OR NOT EXISTS "${SWV_LIBGCC}")
  message(FATAL_ERROR "${SWV_MINGW_PREFIX}-gcc-posix did not name its libgcc: install MinGW-w64 GCC.")
endif()
get_filename_component(SWV_LIBGCC_DIR "${SWV_LIBGCC}" DIRECTORY)
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-L${SWV_LIBGCC_DIR}")
endforeach()

set(CMAKE_FIND_ROOT_PATH ${SWV_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
