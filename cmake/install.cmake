# install.cmake: what `cmake --install` puts under the prefix: programs, library, header,
# pkg-config file, CMake package and documentation.
include(CMakePackageConfigHelpers)

# Plain bin/ and lib/ (no multiarch folder): the programs' run path is $ORIGIN/../lib, and a
# real library replaces lib/libqorlib3.so under the same file name.
set(QOR_INSTALL_BINDIR bin)
set(QOR_INSTALL_LIBDIR lib)
set(QOR_INSTALL_INCLUDEDIR include)
set(QOR_INSTALL_CMAKEDIR ${QOR_INSTALL_LIBDIR}/cmake/qorlib3)
set(QOR_INSTALL_DOCDIR share/doc/qorlib3-sdk)

install(TARGETS qor-system qor-line qor-devinfo qor-objtree
        RUNTIME DESTINATION ${QOR_INSTALL_BINDIR})
install(TARGETS qorlib3 LIBRARY DESTINATION ${QOR_INSTALL_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/sdk/lib/qorlib3.h DESTINATION ${QOR_INSTALL_INCLUDEDIR})

# Both descriptions find the prefix from where they lie, so the installed tree can be moved
# (and `cmake --install --prefix` may differ from the configured prefix).
configure_file(${CMAKE_CURRENT_LIST_DIR}/qorlib3.pc.in ${CMAKE_BINARY_DIR}/qorlib3.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/qorlib3.pc DESTINATION ${QOR_INSTALL_LIBDIR}/pkgconfig)

write_basic_package_version_file(${CMAKE_BINARY_DIR}/qorlib3ConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qorlib3Config.cmake
              ${CMAKE_BINARY_DIR}/qorlib3ConfigVersion.cmake
        DESTINATION ${QOR_INSTALL_CMAKEDIR})

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${QOR_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/qor-system.png DESTINATION ${QOR_INSTALL_DOCDIR}/docs)
install(FILES ${CMAKE_SOURCE_DIR}/sim/README.md DESTINATION ${QOR_INSTALL_DOCDIR}/sim)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sdk/examples/consumer
        DESTINATION ${QOR_INSTALL_DOCDIR}/examples)
