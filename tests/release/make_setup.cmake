# Builds an installer with packaging/swivlet.nsi for the release tests:
# from the test build's second build of Swivlet, whose code lies at other
# offsets, for the upgrade; or from the release's unpacked win64 archive.
#   cmake -DBIN32=... [-DBIN64=...] -DVERSION=... -DOUT=... -DMAKENSIS=... -P make_setup.cmake
#   cmake -DPORTABLE=... -DVERSION=... -DOUT=... -DMAKENSIS=... -P make_setup.cmake
# TARGET=amd64-unicode gives it NSIS's 64-bit stub: the same script, for a
# machine that runs no 32-bit program.
get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
# A build's library folder: named in its .build file, else the one of
# that prefix in the folder.
function(library_folder dir prefix var)
  if(EXISTS "${dir}/${prefix}.build")
    file(STRINGS "${dir}/${prefix}.build" found LIMIT_COUNT 1)
  else()
    file(GLOB found RELATIVE "${dir}" "${dir}/${prefix}-*")
    list(LENGTH found count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "expected one ${prefix}- folder in ${dir}, found: ${found}")
    endif()
  endif()
  set(${var} ${found} PARENT_SCOPE)
endfunction()

get_filename_component(outdir "${OUT}" DIRECTORY)
if(PORTABLE)
  # The released binaries, README.txt and LICENSE.txt as the archive holds them.
  set(BIN64 "${PORTABLE}")
  set(BIN32 "${PORTABLE}/x86")
  set(docs "${PORTABLE}")
else()
  set(docs "${outdir}/docs")
  file(MAKE_DIRECTORY "${docs}")
  configure_file("${root}/packaging/README.txt" "${docs}/README.txt" COPYONLY)
  configure_file("${root}/LICENSE" "${docs}/LICENSE.txt" COPYONLY)
endif()
library_folder("${BIN32}" swv32 lib32)
set(args -V2 -DVERSION=${VERSION} -DBIN32=${BIN32} -DLIB32=${lib32})
if(BIN64)
  library_folder("${BIN64}" swv64 lib64)
  list(APPEND args -DBIN64=${BIN64} -DLIB64=${lib64})
endif()
if(TARGET)
  # With the 64-bit stub the script's 32-bit branch is never taken; NSIS
  # says so of its unused label.
  list(APPEND args "-XTarget ${TARGET}" "-X!pragma warning disable 6012")
endif()
file(MAKE_DIRECTORY "${outdir}")
execute_process(COMMAND "${MAKENSIS}" ${args} -DDOCS=${docs} -DOUTFILE=${OUT}
  "${root}/packaging/swivlet.nsi" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()
