# Gives a build of the menu library a folder of its own, named after its
# bytes: programs the hook reached keep an older build's copy loaded, and the
# system finds the hook in each program by the library's path, so no two
# builds may share one.
#   cmake -DLIB=.../swv32.dll -DPREFIX=swv32 -DHEADER=.../libbuild.h -P stage_library.cmake
# Copies LIB to <folder of LIB>/<PREFIX>-<hash>/, writes the folder's name
# into <folder of LIB>/<PREFIX>.build for scripts, and defines it in HEADER
# for the loader (rewritten only when it changes).
file(SHA256 "${LIB}" hash)
string(SUBSTRING "${hash}" 0 8 hash)
set(folder "${PREFIX}-${hash}")
get_filename_component(dir "${LIB}" DIRECTORY)
get_filename_component(name "${LIB}" NAME)
file(MAKE_DIRECTORY "${dir}/${folder}")
configure_file("${LIB}" "${dir}/${folder}/${name}" COPYONLY)
file(WRITE "${dir}/${PREFIX}.build" "${folder}\n")
set(text "/* Generated: the folder of this build's menu library, beside the loader. */\n#define SWV_LIB_FOLDER \"${folder}\"\n")
if(EXISTS "${HEADER}")
  file(READ "${HEADER}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${HEADER}" "${text}")
endif()
