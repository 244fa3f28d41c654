# How the portable core is compiled, shared by the main builds and the fuzz targets' clang build:
# C++17, and through zanvoro_core_flags(<target> [UTF8_LITERALS]) the core's include folders, its
# warnings and GBK string literals (texts are GBK bytes inside the program) for <target> and all
# that links it. UTF8_LITERALS leaves literals as clang stores them, since it has no
# -fexec-charset=GBK: code built so must not depend on the bytes of a Chinese literal.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
get_filename_component(ZANVORO_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
# build_settings.h; the fuzz targets' build is handed the main build's.
if(NOT DEFINED ZANVORO_GENERATED_DIR)
  set(ZANVORO_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
endif()

function(zanvoro_core_flags target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "UTF8_LITERALS" "" "")
  if(MSVC)
    set(gbk /utf-8 /execution-charset:.936)
  elseif(NOT arg_UTF8_LITERALS)
    set(gbk -finput-charset=UTF-8 -fexec-charset=GBK)
  endif()
  target_include_directories(${target} PUBLIC ${ZANVORO_SOURCE_ROOT} ${ZANVORO_GENERATED_DIR})
  target_compile_options(${target} PUBLIC ${gbk} $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
endfunction()
