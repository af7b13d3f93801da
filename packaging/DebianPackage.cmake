# The Debian package, built by CPack from the install rules: `cpack -G DEB` in a build configured
# with the prefix it installs to (/usr).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trellan)
set(CPACK_PACKAGE_VERSION ${TRELLAN_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "The Trellan developers")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Everything but the plain LICENSE, and the Debian documents, which nothing else installs.
set(CPACK_INSTALL_CMAKE_PROJECTS
    ${CMAKE_BINARY_DIR} ${PROJECT_NAME} Unspecified /
    ${CMAKE_BINARY_DIR} ${PROJECT_NAME} debian /)
# The debug symbols in a package of their own (trellan-dbgsym), found by the binary's build id.
# CPack's DEB generator strips what it finds unstripped, after it has copied out the symbols.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # trellan_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRELLAN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries come from dpkg-shlibdeps; Qt's X11 platform plugin is loaded at run time, and
# without a CJK font every label of the window is a box, so one is required, not recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei | fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for the net result of a round-trip share trade")
# CPack puts the summary first and indents these lines as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Trellan works out what one round-trip share trade leaves: a quantity bought
at one price and sold at another, less a commission of at least 5.0 a side,
a stamp duty on both sides and, on the first of two exchanges, a transfer fee
of at least 1.0 a side.

The three rates are per-mille values that the user sets once; an installed
copy keeps each user's rates in $XDG_CONFIG_HOME/trellan/Set.ini. The window
is in Simplified Chinese.")

include(CPack)
