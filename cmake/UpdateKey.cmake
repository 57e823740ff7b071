# The key update packages must be signed with. A build without one never updates itself.
set(QUORVANE_UPDATE_PUBLIC_KEY "" CACHE STRING
  "minisign public key (the base64 line) that update packages must be signed with; empty: the client never updates itself")
# Tests, the demo and the package check use a throw-away key pair made in the build tree.
option(QUORVANE_DEMO_UPDATE_KEY "Make a demo key pair in the build tree and trust its public key" OFF)

set(QUORVANE_DEMO_UPDATE_SECRET_KEY "")
if(QUORVANE_DEMO_UPDATE_KEY AND QUORVANE_UPDATE_PUBLIC_KEY STREQUAL "")
  set(demo_key_dir ${CMAKE_BINARY_DIR}/demo-update-key)
  if(NOT EXISTS ${demo_key_dir}/minisign.pub OR NOT EXISTS ${demo_key_dir}/minisign.key)
    find_program(MINISIGN minisign REQUIRED)
    file(REMOVE_RECURSE ${demo_key_dir})
    file(MAKE_DIRECTORY ${demo_key_dir})
    execute_process(
      COMMAND ${MINISIGN} -G -W -p ${demo_key_dir}/minisign.pub -s ${demo_key_dir}/minisign.key
      RESULT_VARIABLE demo_key_result OUTPUT_QUIET ERROR_VARIABLE demo_key_error)
    if(NOT demo_key_result EQUAL 0)
      message(FATAL_ERROR "minisign could not make the demo update key: ${demo_key_error}")
    endif()
    message(STATUS "Made a demo update key in ${demo_key_dir}")
  endif()
  file(STRINGS ${demo_key_dir}/minisign.pub demo_key_lines)
  list(GET demo_key_lines 1 demo_public_key)
  # A normal variable: the cache keeps what the user set, the build uses the demo key.
  set(QUORVANE_UPDATE_PUBLIC_KEY "${demo_public_key}")
  set(QUORVANE_DEMO_UPDATE_SECRET_KEY ${demo_key_dir}/minisign.key)
  # A deleted or replaced key pair configures the tree again, so the build never trusts a stale key.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${demo_key_dir}/minisign.pub ${demo_key_dir}/minisign.key)
elseif(QUORVANE_DEMO_UPDATE_KEY)
  message(STATUS "QUORVANE_UPDATE_PUBLIC_KEY is set: no demo update key is made")
endif()

# 56 characters: the base64 of "Ed" (hence "RW"), an 8-byte key id and a 32-byte Ed25519 key.
string(LENGTH "${QUORVANE_UPDATE_PUBLIC_KEY}" update_key_length)
if(QUORVANE_UPDATE_PUBLIC_KEY STREQUAL "")
  message(STATUS "No update key: this client will not update itself")
elseif(NOT QUORVANE_UPDATE_PUBLIC_KEY MATCHES "^RW[A-Za-z0-9+/]+$" OR NOT update_key_length EQUAL 56)
  # The line goes into a C string; a whole ".pub" file or a path would build a client that
  # refuses every package, so it is caught here.
  message(FATAL_ERROR "QUORVANE_UPDATE_PUBLIC_KEY must be the base64 line of a minisign public key, "
    "not \"${QUORVANE_UPDATE_PUBLIC_KEY}\"")
endif()
