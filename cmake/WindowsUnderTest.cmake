# The Windows build every Wine-run test of this tree runs, and the Wine
# loader that runs it:
#
#   ROMPROG_WINDOWS        win32 or win64 (cache; ROMPROG_WINDOWS in the
#                          environment overrides it; empty: this host decides
#                          through scripts/windows_choice.sh)
#   ROMPROG_WINDOWS_BUILD  its build tree, ${ROMPROG_WINDOWS_TREES}/${ROMPROG_WINDOWS}
#                          (empty: no Wine-run test is registered)
#   ROMPROG_WINE_LOADER    the loader (cache; empty: the one of that build)
#   ROMPROG_WINE_ENVIRONMENT  the CTest environment that names all of it, and
#                          the folder the tests' Wine prefixes go in
#
# ROMPROG_WINDOWS_TREES is the folder holding the trees of the win32 and win64
# presets; without it no Wine-run test is registered.
set(ROMPROG_WINDOWS "" CACHE STRING
    "win32 or win64: the Windows build the tests run under Wine (empty: this host decides)")
set(ROMPROG_WINE_LOADER "" CACHE FILEPATH
    "The Wine loader of that build (empty: /usr/lib/wine/wine or /usr/lib/wine/wine64)")
set(ROMPROG_WINDOWS_BUILD "")
if(NOT ROMPROG_WINDOWS_TREES)
  return()
endif()

if(DEFINED ENV{ROMPROG_WINDOWS} AND NOT "$ENV{ROMPROG_WINDOWS}" STREQUAL "")
  set(ROMPROG_WINDOWS "$ENV{ROMPROG_WINDOWS}" CACHE STRING "" FORCE)
endif()

# Whoever chose (scripts/test.sh) may say why in ROMPROG_WINDOWS_WHY.
set(_why "ROMPROG_WINDOWS=${ROMPROG_WINDOWS}")
if(ROMPROG_WINDOWS_WHY)
  set(_why "${ROMPROG_WINDOWS_WHY}")
endif()
set(_loader "${ROMPROG_WINE_LOADER}")
if(NOT ROMPROG_WINDOWS)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows_choice.sh
    OUTPUT_VARIABLE _choice ERROR_VARIABLE _error RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "Cannot decide which Windows build to test: ${_error}")
  endif()
  string(REGEX MATCH "ROMPROG_WINDOWS=([^\n]*)" _ "${_choice}")
  set(_windows "${CMAKE_MATCH_1}")
  string(REGEX MATCH "ROMPROG_WINDOWS_WHY=([^\n]*)" _ "${_choice}")
  set(_why "${CMAKE_MATCH_1}")
  if(NOT _loader)
    string(REGEX MATCH "ROMPROG_WINE_LOADER=([^\n]*)" _ "${_choice}")
    set(_loader "${CMAKE_MATCH_1}")
  endif()
else()
  set(_windows "${ROMPROG_WINDOWS}")
endif()

if(_windows STREQUAL "win32")
  if(NOT _loader)
    set(_loader /usr/lib/wine/wine)
  endif()
elseif(_windows STREQUAL "win64")
  if(NOT _loader)
    set(_loader /usr/lib/wine/wine64)
  endif()
else()
  message(FATAL_ERROR "ROMPROG_WINDOWS is '${_windows}': set it to win32 or win64, or empty "
                      "to let this host decide")
endif()

# From here on the names stand for the decided values (the cache keeps what
# was asked for).
set(ROMPROG_WINDOWS ${_windows})
set(ROMPROG_WINDOWS_BUILD ${ROMPROG_WINDOWS_TREES}/${_windows})
set(ROMPROG_WINE_LOADER ${_loader})
message(STATUS "Windows build under test: ${ROMPROG_WINDOWS_BUILD} under ${_loader} (${_why})")

# Each loader gets prefixes of its own (wine-win32, wine-win64 in this tree):
# a prefix serves the loader that made it.
set(ROMPROG_WINE_ENVIRONMENT
    ROMPROG_WINDOWS=${_windows}
    "ROMPROG_WINDOWS_WHY=${_why}"
    ROMPROG_WINDOWS_TREES=${ROMPROG_WINDOWS_TREES}
    ROMPROG_WINDOWS_BUILD=${ROMPROG_WINDOWS_BUILD}
    ROMPROG_WINE_LOADER=${_loader}
    ROMPROG_DEFAULT_WINEPREFIX=${CMAKE_BINARY_DIR}/wine)
