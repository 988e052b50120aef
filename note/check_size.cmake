# Prints the size of FILE; fails when LIMIT is not 0 and FILE is larger.
file(SIZE "${FILE}" size)
message(STATUS "note template: ${size} bytes (limit ${LIMIT})")
if(LIMIT GREATER 0 AND size GREATER LIMIT)
  message(FATAL_ERROR "note template is ${size} bytes, over the limit of ${LIMIT}")
endif()
