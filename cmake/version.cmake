# The program's version: PLUSRAIL_VERSION, from `git describe` when the build is configured
# (a tag, or the commit when there is none, marked -dirty for changes not committed), or the
# value given with -DPLUSRAIL_VERSION=...; a tree that is not a git checkout gets a fallback.
# It starts with a digit, as package versions must, when the tags do. The programs read it from the
# header generated into the build tree, program/version.h under generated/.
set(PLUSRAIL_VERSION "" CACHE STRING "The program's version (empty: from git describe)")
set(PLUSRAIL_VERSION_FALLBACK "0.0.0+unknown")

set(plusrail_version "${PLUSRAIL_VERSION}")
if(plusrail_version STREQUAL "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} describe --tags --always --dirty
      OUTPUT_VARIABLE plusrail_version
      RESULT_VARIABLE plusrail_git_result
      OUTPUT_STRIP_TRAILING_WHITESPACE
      ERROR_QUIET)
    if(NOT plusrail_git_result EQUAL 0)
      set(plusrail_version "")
    endif()
  endif()
  if(plusrail_version STREQUAL "")
    set(plusrail_version "${PLUSRAIL_VERSION_FALLBACK}")
  elseif(plusrail_version MATCHES "^[0-9a-f]+(-dirty)?$")
    # No tag yet: describe gives the commit alone.
    set(plusrail_version "0.0.0+g${plusrail_version}")
  endif()
endif()
set(PLUSRAIL_VERSION_STRING "${plusrail_version}")
message(STATUS "plusrail version ${PLUSRAIL_VERSION_STRING}")

set(PLUSRAIL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/version.h.in
               ${PLUSRAIL_GENERATED_DIR}/program/version.h @ONLY)
