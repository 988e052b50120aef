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
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${table}")
set(exported "")
foreach(entry ${entries})
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${entry}")
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
