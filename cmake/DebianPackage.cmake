# `cmake --build build --target package` makes seamwright_<version>_<arch>.deb of what `cmake --install`
# puts in place, under /usr. Its dependencies are read off the executables' shared libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME seamwright)
set(CPACK_PACKAGE_VENDOR Quillmoor)
set(CPACK_PACKAGE_CONTACT "Quillmoor <packages@seamwright.app>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://seamwright.app)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "join photos into one long picture or stitch a panorama")
set(CPACK_PACKAGE_DESCRIPTION
    "Seamwright joins photos edge to edge into one long horizontal or vertical\n"
    "strip. Trim them, space them, draw on them, hide parts with a mosaic brush,\n"
    "stamp a watermark and export a PNG, JPEG or WebP, whole or cut into parts.\n"
    "Panorama mode stitches overlapping photos into one panorama. The same\n"
    "executable joins photos and stitches panoramas from scripts, without a display.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read as plug-ins, so no library names them: WebP and the other extra formats.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt5-image-formats-plugins)

# The copyright file a Debian package carries: ours, and the licence of the font compiled into the
# program, which must travel with it.
file(READ ${PROJECT_SOURCE_DIR}/src/resources/images/fonts/Lato-LICENSE.txt font_licence)
string(REGEX MATCH "^Format: [^\n]*\n" copyright_format "${font_licence}")
string(REGEX REPLACE "^.*\nFiles: \\*\n" "Files: src/resources/images/fonts/Lato-Bold.ttf\n" font_licence
    "${font_licence}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright "${copyright_format}Upstream-Name: Seamwright\n"
    "Source: https://seamwright.app\n\nFiles: *\nCopyright: 2026 Quillmoor\nLicense: proprietary\n"
    " All rights reserved.\n\n${font_licence}")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/seamwright)
# And its changelog, compressed with the man pages before packing.
file(WRITE ${PROJECT_BINARY_DIR}/changelog "seamwright (${PROJECT_VERSION}) stable; urgency=medium\n\n"
    "  * Photos and projects open from the file manager and the command line;\n"
    "    Seamwright installs as a Debian package.\n\n"
    " -- ${CPACK_PACKAGE_CONTACT}  Mon, 07 Dec 2026 12:00:00 +0000\n")
install(FILES ${PROJECT_BINARY_DIR}/changelog DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/seamwright)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressDocs.cmake)

include(CPack)
