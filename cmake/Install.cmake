# Installation: the client and its updater in a folder of their own, the command "quorvane" in
# bin, the desktop entry and the icons (resources/), and the rule that lets the updater replace
# a client installed for every user. A distribution package (QUORVANE_DISTRIBUTION_PACKAGE) has
# neither the updater nor its rule. cmake/InstallDocs.cmake adds the documents and metadata.
#
# The updater replaces the program in the folder the client runs from and is itself started from
# that folder, so both live in QUORVANE_INSTALL_APPDIR and bin holds only a symbolic link: the
# client finds its folder through the link, and a replaced program is what the link names.
include(GNUInstallDirs)

set(QUORVANE_INSTALL_APPDIR "lib/quorvane" CACHE STRING
    "Folder (below the prefix) of the client program and its updater")

if(TARGET quorvane_client AND TARGET upgrade)
  # A distribution package's files belong to its package manager: no updater replaces them.
  set(quorvane_programs quorvane_client upgrade)
  if(QUORVANE_DISTRIBUTION_PACKAGE)
    set(quorvane_programs quorvane_client)
  endif()
  install(TARGETS ${quorvane_programs} RUNTIME DESTINATION ${QUORVANE_INSTALL_APPDIR})
  # A stripped install (cpack) also drops the compilers' notes, as Debian's own packages do.
  foreach(program ${quorvane_programs})
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP AND NOT \"${CMAKE_STRIP}\" STREQUAL \"\")
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVANE_INSTALL_APPDIR}/${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endif()
    ")
  endforeach()

  # bin/quorvane -> ../lib/quorvane/quorvane_client, relative so that the tree can be moved.
  file(RELATIVE_PATH QUORVANE_LINK_TARGET "/${CMAKE_INSTALL_BINDIR}"
       "/${QUORVANE_INSTALL_APPDIR}/quorvane_client")
  install(CODE "
    set(quorvane_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${quorvane_bin}\")
    message(STATUS \"Installing: \${quorvane_bin}/quorvane -> ${QUORVANE_LINK_TARGET}\")
    file(CREATE_LINK \"${QUORVANE_LINK_TARGET}\" \"\${quorvane_bin}/quorvane\" SYMBOLIC)
  ")

  install(FILES ${PROJECT_SOURCE_DIR}/packaging/quorvane.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  # pkexec runs only the program the policy names by its full path, known at install time
  # (CPack installs below /usr whatever the build's prefix). polkit reads /usr/share only.
  if(NOT QUORVANE_DISTRIBUTION_PACKAGE)
    install(CODE "
      set(QUORVANE_UPDATER_PATH \"\${CMAKE_INSTALL_PREFIX}/${QUORVANE_INSTALL_APPDIR}/upgrade\")
      set(quorvane_actions \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/polkit-1/actions\")
      message(STATUS \"Installing: \${quorvane_actions}/com.quorvane.upgrade.policy\")
      configure_file(\"${PROJECT_SOURCE_DIR}/packaging/com.quorvane.upgrade.policy.in\"
                     \"\${quorvane_actions}/com.quorvane.upgrade.policy\" @ONLY)
    ")
  endif()
endif()
