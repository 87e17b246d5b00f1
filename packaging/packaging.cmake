# Installing and the Debian package.
#
# The two programs go to <prefix>/bin and the data a first start needs to
# <prefix>/share/tradejournal: that layout is how the program tells an
# installed copy from a portable one (src/context/core/data_folder.h), so both
# folder names stay fixed. Beside them: the menu entry and the icon.

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
install(TARGETS tradejournal tradejournal-cli RUNTIME DESTINATION bin)
install(CODE "set(TJ_FROM \"${TJ_FIRST_START_DIR}\")
              set(TJ_TO \"\${CMAKE_INSTALL_PREFIX}/share/tradejournal\")"
        COMPONENT first-start)
install(SCRIPT ${TJ_PACKAGING_DIR}/install_missing.cmake COMPONENT first-start)
install(FILES ${TJ_PACKAGING_DIR}/tradejournal.desktop DESTINATION share/applications)
install(FILES ${TJ_PACKAGING_DIR}/icons/tradejournal.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${TJ_PACKAGING_DIR}/icons/${size}/tradejournal.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# cmake --build build --target package: tradejournal_<version>_amd64.deb,
# its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tradejournal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Trade journal maintainers <tradejournal@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Trade journal for Forex traders (Russian interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps trading accounts, imports the closed trades of MetaTrader 4 and 5 HTML statements, \
annotates every trade and shows a summary, a period analysis, day and week tables, \
category reports and a balance chart, beside a notebook of rich-text documents. \
Includes the command-line tool tradejournal-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt's own Russian texts (file dialogs, message box buttons).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
