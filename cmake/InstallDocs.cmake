# What a distribution expects beside the program: the copyright file, the changelog and the
# manual page (compressed as Debian wants them, without time stamps, so builds repeat
# byte for byte), the AppStream entry that software centres show, and in a distribution package
# lintian's notes on the tags that do not apply.
#
# Included by cmake/Packaging.cmake once QUORVANE_PACKAGE_VERSION is known.
include(GNUInstallDirs)

# "01.00.201205281429" was released on 2012-05-28 at 14:29 (Beijing time).
if(QUORVANE_CLIENT_VERSION MATCHES "\\.([0-9][0-9][0-9][0-9])([0-9][0-9])([0-9][0-9])([0-9][0-9])([0-9][0-9])$")
  set(QUORVANE_RELEASE_DATE "${CMAKE_MATCH_1}-${CMAKE_MATCH_2}-${CMAKE_MATCH_3}")
  set(quorvane_release_clock "${QUORVANE_RELEASE_DATE} ${CMAKE_MATCH_4}:${CMAKE_MATCH_5} +0800")
else()
  message(FATAL_ERROR "QUORVANE_CLIENT_VERSION must end in the release time YYYYMMDDhhmm, "
    "not \"${QUORVANE_CLIENT_VERSION}\"")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C TZ=Asia/Shanghai date -R -d "${quorvane_release_clock}"
  OUTPUT_VARIABLE QUORVANE_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(quorvane_docs_dir ${PROJECT_BINARY_DIR}/packaging)
find_program(GZIP gzip REQUIRED)
# gzip_file(SOURCE TARGET): TARGET is SOURCE at the highest compression, without name or time.
function(quorvane_gzip_file source target)
  execute_process(COMMAND ${GZIP} -9 -n -c ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${quorvane_docs_dir}/changelog @ONLY)
quorvane_gzip_file(${quorvane_docs_dir}/changelog ${quorvane_docs_dir}/changelog.gz)
quorvane_gzip_file(${PROJECT_SOURCE_DIR}/packaging/quorvane.1 ${quorvane_docs_dir}/quorvane.1.gz)
configure_file(${PROJECT_SOURCE_DIR}/packaging/com.quorvane.Quorvane.metainfo.xml.in
               ${quorvane_docs_dir}/com.quorvane.Quorvane.metainfo.xml @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${quorvane_docs_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)
install(FILES ${quorvane_docs_dir}/quorvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${quorvane_docs_dir}/com.quorvane.Quorvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(QUORVANE_DISTRIBUTION_PACKAGE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quorvane)
endif()
