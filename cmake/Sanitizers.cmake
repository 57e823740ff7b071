# Sanitizer and fuzzer builds of the whole tree, chosen with one cache variable:
#
#   -DQUORVANE_SANITIZER=address   AddressSanitizer with UndefinedBehaviorSanitizer (gcc or clang)
#   -DQUORVANE_SANITIZER=thread    ThreadSanitizer (gcc or clang)
#   -DQUORVANE_SANITIZER=fuzzer    clang only: ASan and UBSan with libFuzzer's coverage, and the
#                                  fuzz targets of tests/fuzz
#
# Read right after project(): include(cmake/Sanitizers.cmake) in the top-level CMakeLists.txt,
# or -DCMAKE_PROJECT_INCLUDE=<this file> on the command line. Empty, it changes nothing.
include_guard(GLOBAL)

set(QUORVANE_SANITIZER "" CACHE STRING "Sanitizer build: address, thread, fuzzer or empty")
set_property(CACHE QUORVANE_SANITIZER PROPERTY STRINGS "" address thread fuzzer)

set(QUORVANE_FUZZ OFF)
if(QUORVANE_SANITIZER STREQUAL "")
  return()
elseif(QUORVANE_SANITIZER STREQUAL "address")
  # Every finding ends the test program, so that ctest sees it.
  set(quorvane_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all)
  set(quorvane_sanitize_link ${quorvane_sanitize})
elseif(QUORVANE_SANITIZER STREQUAL "thread")
  set(quorvane_sanitize -fsanitize=thread)
  set(quorvane_sanitize_link ${quorvane_sanitize})
elseif(QUORVANE_SANITIZER STREQUAL "fuzzer")
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUORVANE_SANITIZER=fuzzer needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(quorvane_sanitize -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  # Only the fuzz targets link libFuzzer itself (tests/fuzz/CMakeLists.txt).
  set(quorvane_sanitize_link -fsanitize=address,undefined)
  set(QUORVANE_FUZZ ON)
else()
  message(FATAL_ERROR "QUORVANE_SANITIZER must be address, thread, fuzzer or empty, not \"${QUORVANE_SANITIZER}\"")
endif()

add_compile_options(${quorvane_sanitize} -fno-omit-frame-pointer)
add_link_options(${quorvane_sanitize_link})
message(STATUS "Sanitizer build: ${QUORVANE_SANITIZER}")
