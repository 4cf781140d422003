# package.cmake: the Debian package of the installed files (`cpack -G DEB`, scripts/package).
set(CPACK_PACKAGE_NAME qorlib3-sdk)
set(CPACK_PACKAGE_VENDOR "qorlib3 SDK developers")
set(CPACK_PACKAGE_CONTACT "qorlib3 SDK developers <qorlib3-sdk@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "qorlib3 SDK: console tools, libqorlib3.so stand-in, header, pkg-config and CMake files")
set(CPACK_PACKAGE_DESCRIPTION
    "The console tools of the qorlib3 image-acquisition SDK (qor-system, qor-line,
qor-devinfo, qor-objtree), the stand-in libqorlib3.so with simulated cameras, the header
qorlib3.h, a pkg-config file and a CMake package (qorlib3::qorlib3).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The package's Depends come from what the installed files really link (dpkg-shlibdeps), so a
# library the stand-in starts to load is followed without a list to keep by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs reach the package's own libqorlib3.so through their run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
include(CPack)
