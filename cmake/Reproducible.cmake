# The same sources give the same bytes wherever and whenever they are built: every tool that
# stamps a time (rcc, the linker, CPack) gets SOURCE_DATE_EPOCH, the last commit's time unless
# the environment gives one, and no build path reaches a program.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(GRIDLARK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE GRIDLARK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET RESULT_VARIABLE git_failed)
  if(git_failed)
    set(GRIDLARK_SOURCE_DATE_EPOCH "")
  endif()
  # A new commit configures again, so the time follows it.
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir
    OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(git_dir AND EXISTS ${git_dir}/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
  endif()
endif()

if(GRIDLARK_SOURCE_DATE_EPOCH)
  set(gridlark_stamp ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${GRIDLARK_SOURCE_DATE_EPOCH})
  list(JOIN gridlark_stamp " " gridlark_stamp)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${gridlark_stamp}")
  set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${gridlark_stamp}")
endif()
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
  -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
