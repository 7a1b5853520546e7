# `cmake --build build --target package` makes seamwright_<version>_<arch>.deb of what `cmake --install`
# puts in place, under /usr. Its dependencies are read off the executables' shared libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME seamwright)
set(CPACK_PACKAGE_VENDOR Quillmoor)
set(CPACK_PACKAGE_CONTACT "Quillmoor <packages@seamwright.app>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://seamwright.app)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "join photos into one long picture or stitch a panorama")
set(CPACK_PACKAGE_DESCRIPTION
    "Seamwright joins photos edge to edge into one long horizontal or vertical strip.\n"
    "Trim them, space them, draw on them, hide parts with a mosaic brush, stamp a\n"
    "watermark and export a PNG, JPEG or WebP, whole or cut into parts. Panorama mode\n"
    "stitches overlapping photos into one panorama. The same executable joins photos\n"
    "and stitches panoramas from scripts, without a display.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read as plug-ins, so no library names them: WebP and the other extra formats.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt5-image-formats-plugins)
include(CPack)
