# The Linux program as a Debian package (cpack --preset release-linux): the window program, the
# three tools, the desktop entry, the icons and the firewall profiles, as `cmake --install` lays them
# out. The ufw profile in /etc is not a conffile, so that removing the package removes it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenmora)
set(CPACK_PACKAGE_VENDOR Quenmora)
set(CPACK_PACKAGE_CONTACT "Quenmora developers <quenmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Receives students' photos from the phone and sends it the class roster")
set(CPACK_PACKAGE_DESCRIPTION "The desktop half of a school photo tool, in Simplified Chinese:
receives the photos a phone app takes over the local Wi-Fi (TCP port 3456) and sends the phone the
student roster pasted from a spreadsheet. With quenmora-receive, the same link without windows,
quenmora-phone, which plays the phone for checking the link, and quenmora-check, which checks
the received photos against the roster.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quenmora)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link come from dpkg-shlibdeps; what they load at run time does not:
# Qt's platform plugins (the window needs xcb or wayland) and a font with the Chinese characters.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, fonts-wqy-zenhei | fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
