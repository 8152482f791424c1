# `cpack` in a build folder: a Debian package on Linux, a zip for Windows.
set(CPACK_PACKAGE_VENDOR Fernwick)
set(CPACK_PACKAGE_CONTACT "Fernwick <games@fernwick.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.fernwick.example)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Noughts and crosses for two players or against the computer")
# Debian wants the long description in lines under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Gridlark is a small game of noughts and crosses in a compact frameless window."
  "Two players take turns with one mouse, or one player plays against the"
  "computer, which picks its cells at random.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
# Packages go to the build folder's top, not into the source tree when run from there.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Gridlark)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME Gridlark-${PROJECT_VERSION}-windows)
  else()
    set(CPACK_PACKAGE_FILE_NAME Gridlark-${PROJECT_VERSION}-win32)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME gridlark)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt loads its platform and image plugins at run time, out of sight of dpkg-shlibdeps. On
  # Debian 12 libqt6gui6 holds the xcb platform plugin. The free faces
  # that stand in for the design's fonts are named at run time too.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6, fonts-liberation, fonts-dejavu-core")
endif()

# The times in the package are the last commit's; see cmake/Reproducible.cmake.
set(CPACK_GRIDLARK_SOURCE_DATE_EPOCH ${GRIDLARK_SOURCE_DATE_EPOCH})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageReproducible.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageReproducible.cmake)

include(CPack)
