# Hardening of the programs a build ships, as Debian builds its own packages: position-independent
# executables, fortified C library calls, a stack protector, and relocations resolved at start and
# then made read-only (relro, bindnow).
#
# The sanitizer and fuzzer trees (cmake/Sanitizers.cmake) go without: fortified calls check
# memory before AddressSanitizer sees it. Debug builds go without fortification, which needs the
# optimiser.
include_guard(GLOBAL)

if(QUORVANE_SANITIZER)
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro -Wl,-z,now)
