# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a build folder writes velmora_<version>-<revision>_<arch>.deb.
# Included from the top-level CMakeLists.txt after packaging/ has declared what is installed.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "enzyme reaction lesson in three pictures")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Velmora)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
# Upstream version and Debian revision: 1.0.0-1, not a native package.
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VELMORA_DEBIAN_RELEASE})
# The libraries come from dpkg-shlibdeps (package dpkg-dev); the window asks for "Comic Sans MS"
# and falls back to Comic Neue, which no library pulls in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue")
# Qt's own Wayland plugin, so that a Wayland session shows the window natively, not through
# XWayland; speech-dispatcher and a synthesizer for the program's own voice (off unless switched
# on); and fonts with the scripts Comic Neue lacks, which fontconfig gives Qt for the letters of
# the Arabic, Chinese and Ukrainian captions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, speech-dispatcher, speech-dispatcher-espeak-ng, fonts-noto-core, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessivar shows how an enzyme works, in three pictures.\n\
The learner drags the red substrate onto the black enzyme: the two join into\n\
the enzyme-substrate complex. A click on the complex releases the products and\n\
gives the enzyme back, unchanged and ready to work again. Reset starts the\n\
lesson over at any time.")

set(CPACK_GENERATOR DEB)
include(CPack)
