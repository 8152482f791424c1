# GoogleTest for the cross-built tests, from Debian's sources; find_package(GTest) then finds it.
include(FetchContent)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
FetchContent_Declare(GTest SOURCE_DIR /usr/src/googletest OVERRIDE_FIND_PACKAGE)
# Its own sources build with its own warnings, not ours.
get_directory_property(saved_compile_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
FetchContent_MakeAvailable(GTest)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${saved_compile_options}")
