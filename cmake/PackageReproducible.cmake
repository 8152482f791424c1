# Run by CPack for every package it makes (CPACK_PROJECT_CONFIG_FILE before, and as a post-build
# script after), so that two builds give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND CPACK_GRIDLARK_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_GRIDLARK_SOURCE_DATE_EPOCH})
endif()
# CPack's ar takes each member's mode from its file, made under the umask: write the .deb again
# with binutils' deterministic ar (mode 644, owner 0, time 0), members in the same order.
if(CPACK_PACKAGE_FILES)
  foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    if(NOT deb MATCHES "\\.deb$")
      continue()
    endif()
    set(dir ${CPACK_TOPLEVEL_DIRECTORY}/gridlark-ar)
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir})
    execute_process(COMMAND ar t ${deb} OUTPUT_VARIABLE members COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" members "${members}")
    list(FILTER members EXCLUDE REGEX "^$")
    execute_process(COMMAND ar x ${deb} WORKING_DIRECTORY ${dir} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${deb})
    execute_process(COMMAND ar rcD ${deb} ${members} WORKING_DIRECTORY ${dir}
      COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${dir})
  endforeach()
endif()
