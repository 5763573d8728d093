# Builds an installer from the test build's second build of Swivlet, whose
# code lies at other offsets, for the release test's upgrade.
#   cmake -DBIN32=... [-DBIN64=...] -DVERSION=... -DOUT=... -DMAKENSIS=... -P make_setup.cmake
get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
file(STRINGS "${BIN32}/swv32.build" lib32 LIMIT_COUNT 1)
set(args -V2 -DVERSION=${VERSION} -DBIN32=${BIN32} -DLIB32=${lib32})
if(BIN64)
  file(STRINGS "${BIN64}/swv64.build" lib64 LIMIT_COUNT 1)
  list(APPEND args -DBIN64=${BIN64} -DLIB64=${lib64})
endif()
get_filename_component(outdir "${OUT}" DIRECTORY)
set(docs "${outdir}/docs")
file(MAKE_DIRECTORY "${docs}")
configure_file("${root}/packaging/README.txt" "${docs}/README.txt" COPYONLY)
configure_file("${root}/LICENSE" "${docs}/LICENSE.txt" COPYONLY)
execute_process(COMMAND "${MAKENSIS}" ${args} -DDOCS=${docs} -DOUTFILE=${OUT}
  "${root}/packaging/swivlet.nsi" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()
