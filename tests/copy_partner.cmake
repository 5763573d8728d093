# Copies the 32-bit build's loader, library (with its build's folder) and
# window helper from SRC to DST, for a 64-bit build's tests.
#   cmake -DSRC=... -DDST=... -P copy_partner.cmake
file(STRINGS "${SRC}/swv32.build" folder LIMIT_COUNT 1)
if(NOT folder OR NOT EXISTS "${SRC}/${folder}/swv32.dll")
  message(FATAL_ERROR "${SRC} holds no staged 32-bit library: build the 32-bit loader first.")
endif()
file(MAKE_DIRECTORY "${DST}/${folder}")
foreach(name swv32load.exe swv32.dll swvtestwin.exe swv32.build)
  configure_file("${SRC}/${name}" "${DST}/${name}" COPYONLY)
endforeach()
configure_file("${SRC}/${folder}/swv32.dll" "${DST}/${folder}/swv32.dll" COPYONLY)
