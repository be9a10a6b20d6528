# The Debian package of the Linux programs, made with CPack from what
# `cmake --install` installs:
#   cpack --config build/<preset>/CPackConfig.cmake -G DEB -B <folder>
# scripts/check-package.sh builds it and checks it with lintian.
set(CPACK_PACKAGE_NAME tornix)
set(CPACK_PACKAGE_VENDOR "The Tornix developers")
set(CPACK_PACKAGE_CONTACT "The Tornix developers <tornix@tornix.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Chinese text between half-width and full-width forms")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries are found by dpkg-shlibdeps; Qt's X11 platform plugin and a
# Chinese font are loaded at run time, so they are named here. The Chinese
# texts of Qt's own windows (the file chooser) come with the translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-arphic-uming | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Tornix converts Chinese text between half-width ASCII characters and their
full-width forms, in either direction, in one small window: type, paste, load
or drop a text file, convert it, and save the result. Text is read and saved
as code page 936 (GBK) bytes, as on Chinese Windows; bytes that are not
converted stay exactly as they were.
.
tornix-convert does the same conversion as a streaming filter for scripts
and batch work.")

set(CPACK_GENERATOR DEB)
include(CPack)
