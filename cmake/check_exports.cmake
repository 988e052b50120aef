# Fails when a DLL's export table lacks one of the names in NAMES or holds a
# decorated name (name@N): such a name cannot be found by GetProcAddress
# under its plain name, which happens on i686 when a __stdcall function is
# exported without a .def file.
# Usage: cmake -DOBJDUMP=... -DDLL=... -DNAMES=a;b -P check_exports.cmake
cmake_policy(SET CMP0057 NEW)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${DLL}")
endif()
# The name table starts at its heading and ends at a blank line. Binutils
# lay its rows out differently ("[   0] name" in 2.40, "[   0] +base[   1]
# 0000 name" with a column heading in 2.44), but the name is always the row's
# last field; the export address table above it has rows of the same shape,
# so only this table is read.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([^\n]*[^ \t\n][^\n]*\n)*" table "${dump}")
if(table STREQUAL "")
  message(FATAL_ERROR "${DLL} has no export name table (${OBJDUMP} -p shows none)")
endif()
string(REGEX MATCHALL "\\[ *[0-9]+\\][^\n]*" entries "${table}")
set(exported "")
foreach(entry ${entries})
  string(STRIP "${entry}" entry)
  string(REGEX REPLACE "^.*[ \t]" "" name "${entry}")
  if(name MATCHES "@")
    message(FATAL_ERROR "${DLL} exports the decorated name ${name}")
  endif()
  list(APPEND exported ${name})
endforeach()
foreach(name ${NAMES})
  if(NOT name IN_LIST exported)
    message(FATAL_ERROR "${DLL} does not export ${name} (exports: ${exported})")
  endif()
endforeach()
