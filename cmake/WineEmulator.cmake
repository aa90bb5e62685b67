# Windows programs of a cross build run under Wine, in a prefix of the build's own, with the
# Japanese locale so that the ANSI code page is 932. Both builds use a 64-bit prefix: the
# 32-bit release then runs as on the 64-bit Windows most users have (WoW64), with its registry
# and file-system redirection. 32-bit Wine's loader is an i386 Linux program, which some
# kernels cannot start on their own (scripts/lib/run-i386).
if(CMAKE_CROSSCOMPILING)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PELORA_WINE_LOADER /usr/lib/wine/wine64)
    set(PELORA_WINE_RUNNER "")
  else()
    set(PELORA_WINE_LOADER /usr/lib/wine/wine)
    set(PELORA_WINE_RUNNER ${PROJECT_SOURCE_DIR}/scripts/lib/run-i386)
  endif()
  set(PELORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()
