# `cpack -G DEB` in a build tree makes tunelark_<version>_<arch>.deb from what
# `cmake --install` installs under /usr, stripped, with its dependencies
# computed from the programs by dpkg-shlibdeps. tools/make-deb.sh builds one.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunelark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Tunelark developers <developers@tunelark.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The base skin is compiled in; the fonts are read from the system's.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small skinned music player with an equalizer and internet radio")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tunelark plays MP3, MP2, MP1, Ogg Vorbis, Opus, FLAC and WAVE files, whole
folders, playlists and http(s) internet radio in three small skinned windows:
the main window, a ten-band equalizer with presets and the playlist. Classic
three-window skins change its look, and it answers the desktop's media keys.

tunelark-cli plays, renders and describes files from the command line.")
include(CPack)
