# Compile settings shared by every target of ours (not by GoogleTest, which is built as
# Debian ships it).
option(PELORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PELORA_FUZZ "Build only the codec and its libFuzzer targets (clang)" OFF)
option(PELORA_BENCH "Build only the codec and its benchmark" OFF)

function(pelora_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # Narrow string literals are the program's own code page; sources are UTF-8. Clang (the
  # fuzzing build) knows no other execution character set, and the codec has no such text.
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
  endif()
  # The build folder holds the headers made by configuring (shell/version.h).
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  if(WIN32)
    target_compile_definitions(${target} PRIVATE
      WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601)
    target_link_options(${target} PRIVATE -static)
  endif()
  if(PELORA_FUZZ)
    # Libraries get the coverage hooks; the fuzz targets themselves add the fuzzer's main.
    target_compile_options(${target} PRIVATE
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  elseif(PELORA_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

function(pelora_library name)
  add_library(${name} STATIC ${ARGN})
  pelora_target_settings(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
endfunction()
