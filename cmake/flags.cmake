# Compiler settings shared by every target.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
add_compile_options(-Wall -Wextra)

if(TESSARK_WIN32)
  add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
  # Programs: no exceptions, no RTTI, small and self-contained. They are also
  # reproducible: no build folder in any file name the compiler records, and
  # no link time stamp (it is 0, so the PE checksum follows from the bytes).
  set(TESSARK_PROGRAM_FLAGS -fno-exceptions -fno-rtti -Os -ffunction-sections -fdata-sections
      -ffile-prefix-map=${CMAKE_BINARY_DIR}=build -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
  set(TESSARK_PROGRAM_LINK -municode -mwindows -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
  # The test programs of the Windows test bundle are reproducible too:
  # GoogleTest records source paths in its messages.
  add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=build -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
  set(TESSARK_TEST_PROGRAM_LINK -s -Wl,--no-insert-timestamp)
else()
  # Native core tests run with AddressSanitizer and UndefinedBehaviorSanitizer;
  # a plain build (TESSARK_SANITIZERS=OFF) runs them under Valgrind instead.
  option(TESSARK_SANITIZERS "Build the native core with sanitizers" ON)
  if(TESSARK_SANITIZERS)
    set(TESSARK_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  endif()
  if(TESSARK_FUZZ)
    list(APPEND TESSARK_SANITIZE -fsanitize=fuzzer-no-link)
  endif()
endif()

# Registers a GoogleTest program as one CTest entry that writes its JUnit XML
# into TESSARK_RESULTS, where the summary script counts every case.
# Further arguments are passed to the program.
function(tessark_add_gtest target)
  # Under Wine a path without a drive letter is taken as relative to the
  # working folder; Wine maps the Unix root to Z:.
  set(results ${TESSARK_RESULTS})
  if(TESSARK_WIN32)
    set(results Z:${TESSARK_RESULTS})
  endif()
  add_test(NAME ${target} COMMAND ${target} --gtest_output=xml:${results}/${target}.xml ${ARGN})
endfunction()
