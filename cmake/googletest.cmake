# GoogleTest for the test programs: an installed package first (Debian: libgtest-dev), else
# Debian's sources (googletest, /usr/src/googletest) built in this tree. A cross build always
# takes the sources: an installed package is built for this machine, not for the target.
# Callers check for the target GTest::gtest.
if(NOT CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest)
  find_package(GTest QUIET)
endif()
if(NOT TARGET GTest::gtest AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
