# zanvoro_windows_target(<target> [GUI|CONSOLE] [NARROW_MAIN])
# What every target that includes <windows.h> is built with: Windows 7's API level, and
# NOMINMAX, which keeps <windows.h> from breaking std::min/max (only W APIs are called by name).
# An executable, GUI (windows subsystem, wWinMain) or CONSOLE (wmain; main with NARROW_MAIN),
# is linked self-contained, so it runs in any Wine prefix without MinGW's DLLs beside it.
function(zanvoro_windows_target target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "GUI;CONSOLE;NARROW_MAIN" "" "")
  target_compile_definitions(${target} PRIVATE NOMINMAX _WIN32_WINNT=0x0601)
  if(NOT arg_GUI AND NOT arg_CONSOLE)
    return()
  endif()
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ${arg_GUI})
  if(MINGW)
    if(NOT arg_NARROW_MAIN)
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-municode>)
      target_link_options(${target} PRIVATE -municode)
    endif()
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()
