# `cpack -G DEB` in a build folder makes a Debian package of what `cmake --install` installs.
# Its library dependencies are found by dpkg-shlibdeps; Qt's plugins are loaded at run time, so
# the packages that hold them are named here.
set(CPACK_PACKAGE_NAME tesselon)
set(CPACK_PACKAGE_VENDOR Kovrant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure distances, areas and angles on pictures")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesselon measures on photographs and scanned plans: lines, curves, rectangles, ellipses,
polygons and angles drawn over the picture, with their lengths, areas and angles in a results
list that goes to CSV and XLSX. Projects keep picture, measurements and settings in one file.")
set(CPACK_PACKAGE_CONTACT "Kovrant Tesselon <tesselon@kovrant.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins, libqt6svg6, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sane-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
