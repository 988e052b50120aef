# Checks the linked note program: prints the size of FILE and fails when
# LIMIT is not 0 and FILE is larger; fails when the link map MAP shows a
# static constructor, which the note's raw entry would never run.
file(SIZE "${FILE}" size)
message(STATUS "note template: ${size} bytes (limit ${LIMIT})")
if(LIMIT GREATER 0 AND size GREATER LIMIT)
  message(FATAL_ERROR "note template is ${size} bytes, over the limit of ${LIMIT}")
endif()
file(STRINGS "${MAP}" ctors REGEX "^ \\.ctors[.0-9]*[ ]+0x[0-9a-f]+[ ]+0x[0-9a-f]+ ")
if(ctors)
  message(FATAL_ERROR "the note program has static constructors, which its entry does not run:\n${ctors}")
endif()
