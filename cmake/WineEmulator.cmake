# Windows programs of a cross build run under Wine, in a prefix of the build's own, with the
# Japanese locale so that the ANSI code page is 932.
if(CMAKE_CROSSCOMPILING)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PELORA_WINE_LOADER /usr/lib/wine/wine64)
    set(PELORA_WINEARCH win64)
  else()
    set(PELORA_WINE_LOADER /usr/lib/wine/wine)
    set(PELORA_WINEARCH win32)
  endif()
  set(PELORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()
