# GoogleTest built by the build's own compiler from Debian's sources (package googletest), for a
# cross-build whose compiler cannot use Debian's library (Windows, a browser): gtest only, nothing
# installed, built only as far as the suites link it. INSTALL_STEP names what installs the
# sources, for the message when they are missing.
macro(up_googletest_from_sources install_step)
  set(UP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
  if(NOT EXISTS ${UP_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are missing from ${UP_GOOGLETEST_SOURCE} "
                        "(Debian package googletest; ${install_step} installs it)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${UP_GOOGLETEST_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endmacro()
