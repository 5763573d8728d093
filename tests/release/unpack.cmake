# Unpacks ARCHIVE into DEST, emptied first, as a user unpacks a download.
#   cmake -DARCHIVE=... -DDEST=... -P unpack.cmake
if(NOT EXISTS "${ARCHIVE}")
  message(FATAL_ERROR "${ARCHIVE} is missing: run ./scripts/release.sh first.")
endif()
file(REMOVE_RECURSE "${DEST}")
file(MAKE_DIRECTORY "${DEST}")
file(ARCHIVE_EXTRACT INPUT "${ARCHIVE}" DESTINATION "${DEST}")
