# Compile settings shared by every target of ours (not by GoogleTest, which is built as
# Debian ships it).
option(PELORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

function(pelora_target_settings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Werror
    # Narrow string literals are the program's own code page; sources are UTF-8.
    -finput-charset=UTF-8 -fexec-charset=CP932)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_compile_definitions(${target} PRIVATE
      WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601)
    target_link_options(${target} PRIVATE -static)
  endif()
  if(PELORA_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

function(pelora_library name)
  add_library(${name} STATIC ${ARGN})
  pelora_target_settings(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
