# What `cmake --install` lays out: on Windows the program beside its read-me, ready to zip;
# elsewhere the program with its desktop entry, icons and AppStream metadata.
include(GNUInstallDirs)

# One id names the desktop entry, the icon and the metadata; software centres match them by it.
set(GRIDLARK_APP_ID example.fernwick.Gridlark)
set(gridlark_packaging ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
  # Each program is named by its processor, so a user can tell them apart; the 64-bit build
  # carries the 32-bit program beside its own when GRIDLARK_WIN32_EXE names one.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(GRIDLARK_EXE_NAME Gridlark-64bit.exe)
  else()
    set(GRIDLARK_EXE_NAME Gridlark-32bit.exe)
  endif()
  install(PROGRAMS $<TARGET_FILE:gridlark> DESTINATION . RENAME ${GRIDLARK_EXE_NAME})
  set(GRIDLARK_WIN32_EXE "" CACHE FILEPATH "The 32-bit Gridlark.exe to pack beside the 64-bit one")
  if(GRIDLARK_WIN32_EXE AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    install(PROGRAMS ${GRIDLARK_WIN32_EXE} DESTINATION . RENAME Gridlark-32bit.exe)
  endif()
  # Notepad before Windows 10 shows a text without CR as one long line.
  configure_file(${gridlark_packaging}/README-Windows.txt ${PROJECT_BINARY_DIR}/packaging/README.txt
    @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
    NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt
    ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt DESTINATION .)
else()
  # Games go to games/, as the Debian policy and the FHS put them, with their manual in section 6.
  set(GRIDLARK_INSTALL_BINDIR games)
  install(TARGETS gridlark RUNTIME DESTINATION ${GRIDLARK_INSTALL_BINDIR})
  # GCC's version notes in .comment are nothing a player needs; strip leaves them.
  install(CODE "set(gridlark_program [[${GRIDLARK_INSTALL_BINDIR}/gridlark]])
    set(gridlark_objcopy [[${CMAKE_OBJCOPY}]])")
  install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND ${gridlark_objcopy} --remove-section=.comment
        "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${gridlark_program}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
  ]])
  # The manual and the changelog compressed as Debian wants them: most tightly, with no name or
  # time inside.
  foreach(doc gridlark.6 debian/changelog)
    get_filename_component(name ${doc} NAME)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
      COMMAND gzip -9nc ${gridlark_packaging}/${doc} > ${PROJECT_BINARY_DIR}/packaging/${name}.gz
      DEPENDS ${gridlark_packaging}/${doc})
    list(APPEND gridlark_docs ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  endforeach()
  add_custom_target(gridlark_docs ALL DEPENDS ${gridlark_docs})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/gridlark.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz ${gridlark_packaging}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gridlark)
  install(FILES ${gridlark_packaging}/${GRIDLARK_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${gridlark_packaging}/${GRIDLARK_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/gridlark-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${GRIDLARK_APP_ID}.png)
  endforeach()

  # CMake 3.25 makes the folders of an install under the umask, whatever
  # CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS says, so a package built under umask 077 would
  # carry folders nobody else can read. Staged installs (DESTDIR, as CPack does) get 755 along
  # every path they hold; a direct install keeps the installer's umask and existing folders.
  set(gridlark_dirs ${GRIDLARK_INSTALL_BINDIR} ${CMAKE_INSTALL_DATADIR}/applications
    ${CMAKE_INSTALL_DATADIR}/metainfo ${CMAKE_INSTALL_MANDIR}/man6
    ${CMAKE_INSTALL_DATADIR}/doc/gridlark)
  foreach(size 16 32 48 256)
    list(APPEND gridlark_dirs ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(CODE "set(gridlark_dirs [[${gridlark_dirs}]])")
  install(CODE [[
    if(NOT "$ENV{DESTDIR}" STREQUAL "")
      foreach(dir IN LISTS gridlark_dirs)
        if(NOT IS_ABSOLUTE "${dir}")
          set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
        endif()
        string(REPLACE "/" ";" parts "${dir}")
        set(path "$ENV{DESTDIR}")
        foreach(part IN LISTS parts)
          if(NOT part STREQUAL "")
            string(APPEND path "/${part}")
            file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
              GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
          endif()
        endforeach()
      endforeach()
    endif()
  ]])
endif()
