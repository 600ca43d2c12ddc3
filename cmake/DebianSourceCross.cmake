# What the cross-builds of Debian source packages for the Windows builds share
# (cmake/JpegCross.cmake, PngCross.cmake, Libxml2Cross.cmake): fetching and
# unpacking the source, the toolchain for the nested build, and running its
# steps. Each library keeps its own configure options, its layout under
# _deps and the check that skips a finished build.
#
# Fetching the source needs a deb-src entry in the apt sources and dpkg-dev.

include_guard(GLOBAL)

# The toolchain file may have been given relative to the build or source tree;
# the nested build runs elsewhere and needs it absolute.
function(romprog_cross_toolchain out)
  set(file "${CMAKE_TOOLCHAIN_FILE}")
  if(file AND NOT IS_ABSOLUTE "${file}")
    if(EXISTS "${CMAKE_BINARY_DIR}/${file}")
      set(file "${CMAKE_BINARY_DIR}/${file}")
    else()
      set(file "${CMAKE_SOURCE_DIR}/${file}")
    endif()
  endif()
  set(${out} "${file}" PARENT_SCOPE)
endfunction()

# Runs one step of NAME's nested build (the command in the remaining
# arguments) and stops the configure run with its output when it fails.
function(romprog_cross_run name what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}: ${what} failed (${rc}):\n${out}")
  endif()
endfunction()

# Fetches Debian's source package PACKAGE with apt-get source into
# _deps/NAME-download (Debian's patches applied) and moves the unpacked tree
# to OUT_DIR.
function(romprog_debian_source name package out_dir)
  set(download ${CMAKE_BINARY_DIR}/_deps/${name}-download)
  file(REMOVE_RECURSE ${download})
  file(MAKE_DIRECTORY ${download})
  message(STATUS "${name}: apt-get source into ${download}")
  execute_process(COMMAND apt-get source ${package}
                  WORKING_DIRECTORY ${download}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  # A mirror may not hold yet the newest version its index names: each other
  # version the index lists, in turn.
  if(NOT rc EQUAL 0)
    execute_process(COMMAND apt-cache showsrc ${package} OUTPUT_VARIABLE listed ERROR_QUIET)
    string(REGEX MATCHALL "Version: [^\n]+" versions "${listed}")
    foreach(line IN LISTS versions)
      string(REPLACE "Version: " "" version "${line}")
      message(STATUS "${name}: apt-get source ${package}=${version}")
      execute_process(COMMAND apt-get source ${package}=${version}
                      WORKING_DIRECTORY ${download}
                      RESULT_VARIABLE rc OUTPUT_VARIABLE more ERROR_VARIABLE more)
      string(APPEND out "${more}")
      if(rc EQUAL 0)
        break()
      endif()
    endforeach()
  endif()
  file(GLOB unpacked LIST_DIRECTORIES true ${download}/${package}-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(dsc|tar\\..*)$")
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR
      "${name}: 'apt-get source ${package}' failed (${rc}). It needs a 'deb-src' entry in "
      "the apt sources (then apt-get update) and dpkg-dev.\n${out}")
  endif()
  list(GET unpacked 0 dir)
  file(RENAME ${dir} ${out_dir})
endfunction()
