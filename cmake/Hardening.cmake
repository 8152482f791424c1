# Hardened builds whatever the environment gives. The flags go before those from the
# environment (CXXFLAGS, CPPFLAGS, LDFLAGS), which may still turn one off.
if(EMSCRIPTEN OR GRIDLARK_SANITIZE)
  return()
endif()
string(PREPEND CMAKE_CXX_FLAGS "-fstack-protector-strong -Wformat -Werror=format-security ")
if(WIN32)
  # GCC links its stack protector runtime, which -static keeps inside the program.
  string(PREPEND CMAKE_EXE_LINKER_FLAGS "-fstack-protector-strong ")
else()
  string(PREPEND CMAKE_CXX_FLAGS "-fstack-clash-protection ")
  string(PREPEND CMAKE_EXE_LINKER_FLAGS "-Wl,-z,relro,-z,now ")
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
# Fortify needs the optimiser (it warns without, and warnings are errors): not in Debug. A level
# the environment names is kept; a second definition would be an error.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
