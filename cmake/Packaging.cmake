# The Debian package: cpack -G DEB in the build folder makes
# tamsel_<version>_<arch>.deb with both programs, the desktop entry, the
# icons, the metainfo and the manual pages. The dependencies on shared
# libraries come from dpkg-shlibdeps.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
find_program(GZIP_PROGRAM gzip REQUIRED)
# A native package: the one changelog is changelog.gz.
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
  VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VENDOR "The Tamsel developers")
set(CPACK_PACKAGE_CONTACT "Tamsel developers <dev@tamsel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tells which version of Microsoft Excel wrote a workbook")
# The extended description; CPack indents each line and puts the summary
# above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tamsel reads a workbook file once, as code page 932 (Shift_JIS) text, and
tells whether Microsoft Excel 5.0, 95 or 97 wrote it, or none of them, in
one fixed Japanese sentence. It is made for sorting old Japanese office
archives.

The package holds tamsel, a small Qt window with an Open dialog, and
tamsel-scan, a command-line scanner for whole archives (recursion, jobs,
JSON and CSV output).")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws Japanese text: a font with its glyphs must be there.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
