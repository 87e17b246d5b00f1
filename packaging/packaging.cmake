# Installing and the Debian package.
#
# The two programs go to <prefix>/bin and the data a first start needs to
# <prefix>/share/tradejournal: that layout is how the program tells an
# installed copy from a portable one (src/context/core/data_folder.h), so both
# folder names stay fixed. Beside them: the menu entry and the icon, the
# AppStream metainfo, the manual pages, the shell completion, the copyright
# file and the changelog. The id, maintainer and home page come from the
# top-level CMakeLists.txt.

# The first-start data: the program folder tj-appdir lays out (an empty
# journal from the schema, the five lists, the txt and img folders), made
# afresh whenever the schema or a list changes.
set(TJ_FIRST_START_DIR ${CMAKE_BINARY_DIR}/first-start/tradejournal)
set(TJ_FIRST_START_STAMP ${CMAKE_BINARY_DIR}/first-start/stamp)
file(GLOB TJ_LIST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/sprav/*.txt)
add_custom_command(
  OUTPUT ${TJ_FIRST_START_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TJ_FIRST_START_DIR}
  COMMAND tj-appdir ${TJ_FIRST_START_DIR} ${TJ_SCHEMA_SQL} ${PROJECT_SOURCE_DIR}/data/sprav
  COMMAND ${CMAKE_COMMAND} -E touch ${TJ_FIRST_START_STAMP}
  DEPENDS tj-appdir ${TJ_SCHEMA_SQL} ${TJ_LIST_SOURCES}
  COMMENT "Laying out the first-start data ${TJ_FIRST_START_DIR}"
  VERBATIM)
add_custom_target(tj_first_start_data ALL DEPENDS ${TJ_FIRST_START_STAMP})

set(TJ_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TJ_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)

# The metainfo, the copyright file and the changelog name the id, the
# maintainer and the home page; the man pages and the changelog are
# compressed as Debian wants them (gzip -9, no name or time inside).
configure_file(${TJ_PACKAGING_DIR}/ru.orvint.TradeJournal.metainfo.xml.in
               ${TJ_PACKAGE_FILES}/${TJ_APP_ID}.metainfo.xml @ONLY)
configure_file(${TJ_PACKAGING_DIR}/ru.orvint.TradeJournal.desktop ${TJ_PACKAGE_FILES}/${TJ_APP_ID}.desktop COPYONLY)
configure_file(${TJ_PACKAGING_DIR}/debian/copyright.in ${TJ_PACKAGE_FILES}/copyright @ONLY)
configure_file(${TJ_PACKAGING_DIR}/debian/changelog.in ${TJ_PACKAGE_FILES}/changelog @ONLY)
find_program(TJ_GZIP gzip REQUIRED)
set(TJ_COMPRESSED)
foreach(page tradejournal.1 tradejournal-cli.1 ru/tradejournal.1 ru/tradejournal-cli.1)
  set(out ${TJ_PACKAGE_FILES}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TJ_PACKAGE_FILES}/man/ru
    COMMAND ${TJ_GZIP} -9nc ${TJ_PACKAGING_DIR}/man/${page} > ${out}
    DEPENDS ${TJ_PACKAGING_DIR}/man/${page} VERBATIM)
  list(APPEND TJ_COMPRESSED ${out})
endforeach()
add_custom_command(OUTPUT ${TJ_PACKAGE_FILES}/changelog.gz
  COMMAND ${TJ_GZIP} -9nc ${TJ_PACKAGE_FILES}/changelog > ${TJ_PACKAGE_FILES}/changelog.gz
  DEPENDS ${TJ_PACKAGE_FILES}/changelog VERBATIM)
list(APPEND TJ_COMPRESSED ${TJ_PACKAGE_FILES}/changelog.gz)
# The shell completion, written by tradejournal-cli from its own table of
# commands: a new command completes without a change here.
add_custom_command(OUTPUT ${TJ_PACKAGE_FILES}/tradejournal-cli.bash ${TJ_PACKAGE_FILES}/_tradejournal-cli
  COMMAND tradejournal-cli --completion bash > ${TJ_PACKAGE_FILES}/tradejournal-cli.bash
  COMMAND tradejournal-cli --completion zsh > ${TJ_PACKAGE_FILES}/_tradejournal-cli
  DEPENDS tradejournal-cli VERBATIM)
add_custom_target(tj_package_files ALL
  DEPENDS ${TJ_COMPRESSED} ${TJ_PACKAGE_FILES}/tradejournal-cli.bash ${TJ_PACKAGE_FILES}/_tradejournal-cli)

install(TARGETS tradejournal tradejournal-cli RUNTIME DESTINATION bin)
install(CODE "set(TJ_FROM \"${TJ_FIRST_START_DIR}\")
              set(TJ_TO \"\${CMAKE_INSTALL_PREFIX}/share/tradejournal\")"
        COMPONENT first-start)
install(SCRIPT ${TJ_PACKAGING_DIR}/install_missing.cmake COMPONENT first-start)
install(FILES ${TJ_PACKAGE_FILES}/${TJ_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${TJ_PACKAGE_FILES}/${TJ_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${TJ_PACKAGING_DIR}/icons/tradejournal.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${TJ_PACKAGING_DIR}/icons/${size}/tradejournal.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${TJ_PACKAGE_FILES}/man/tradejournal.1.gz ${TJ_PACKAGE_FILES}/man/tradejournal-cli.1.gz
        DESTINATION share/man/man1)
install(FILES ${TJ_PACKAGE_FILES}/man/ru/tradejournal.1.gz ${TJ_PACKAGE_FILES}/man/ru/tradejournal-cli.1.gz
        DESTINATION share/man/ru/man1)
install(FILES ${TJ_PACKAGE_FILES}/tradejournal-cli.bash DESTINATION share/bash-completion/completions
        RENAME tradejournal-cli)
install(FILES ${TJ_PACKAGE_FILES}/_tradejournal-cli DESTINATION share/zsh/vendor-completions)
install(FILES ${TJ_PACKAGE_FILES}/copyright ${TJ_PACKAGE_FILES}/changelog.gz DESTINATION share/doc/tradejournal)

# cmake --build build --target package: tradejournal_<version>_amd64.deb,
# its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tradejournal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TJ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TJ_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trade journal for Forex traders (Russian interface)")
# Lines of the long description, each under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "A journal for the retail Forex trader, with a Russian interface.
Keeps trading accounts and imports the closed trades, deposits and
withdrawals of MetaTrader 4 and 5 HTML statements, checked against the
statement's own totals. Every trade can be annotated; the journal shows a
summary, a period analysis, day and week tables, category reports and a
balance chart, beside a notebook of rich-text documents.
.
Includes the command-line tool tradejournal-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt's own Russian texts (file dialogs, message box buttons).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
