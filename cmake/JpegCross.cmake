# libjpeg for the Windows builds: libjpeg-turbo from Debian's source package,
# cross-built with this tree's toolchain into a static library. It is built
# once, at configure time, inside the build tree; later configure runs find
# the installed library and skip the work.
#
#   _deps/libjpeg-turbo-src      the unpacked source (apt-get source)
#   _deps/libjpeg-turbo-build    its build tree
#   _deps/libjpeg-turbo          headers and libjpeg.a
#
# Fetching the source needs a deb-src entry in the apt sources and dpkg-dev.

set(_jt_deps ${CMAKE_BINARY_DIR}/_deps)
set(_jt_src ${_jt_deps}/libjpeg-turbo-src)
set(_jt_build ${_jt_deps}/libjpeg-turbo-build)
set(_jt_prefix ${_jt_deps}/libjpeg-turbo)
set(_jt_lib ${_jt_prefix}/lib/libjpeg.a)

# The toolchain file may have been given relative to the build or source tree;
# the nested build runs elsewhere and needs it absolute.
function(_jt_toolchain_path out)
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

function(_jt_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "libjpeg-turbo: ${what} failed (${rc}):\n${out}")
  endif()
endfunction()

function(_jt_fetch_source)
  set(download ${_jt_deps}/libjpeg-turbo-download)
  file(REMOVE_RECURSE ${download})
  file(MAKE_DIRECTORY ${download})
  message(STATUS "libjpeg-turbo: apt-get source into ${download}")
  execute_process(COMMAND apt-get source libjpeg-turbo
                  WORKING_DIRECTORY ${download}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  file(GLOB unpacked LIST_DIRECTORIES true ${download}/libjpeg-turbo-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(dsc|tar\\..*)$")
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR
      "libjpeg-turbo: 'apt-get source libjpeg-turbo' failed (${rc}). It needs a "
      "'deb-src' entry in the apt sources (then apt-get update) and dpkg-dev.\n${out}")
  endif()
  list(GET unpacked 0 dir)
  file(RENAME ${dir} ${_jt_src})
endfunction()

function(_jt_build_library)
  _jt_toolchain_path(toolchain)
  message(STATUS "libjpeg-turbo: cross-building for ${CMAKE_SYSTEM_PROCESSOR}")
  _jt_run(configure ${CMAKE_COMMAND} -S ${_jt_src} -B ${_jt_build}
          -G ${CMAKE_GENERATOR} -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
          -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
          -DCMAKE_INSTALL_PREFIX=${_jt_prefix} -DCMAKE_INSTALL_LIBDIR=lib
          -DCMAKE_INSTALL_INCLUDEDIR=include
          -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
          -Wno-dev)
  # Only the library and its headers are needed; the tools are left unbuilt.
  _jt_run(build ${CMAKE_COMMAND} --build ${_jt_build} --target jpeg-static -j 2)
  file(MAKE_DIRECTORY ${_jt_prefix}/include ${_jt_prefix}/lib)
  file(COPY ${_jt_src}/jpeglib.h ${_jt_src}/jmorecfg.h ${_jt_src}/jerror.h
            ${_jt_build}/jconfig.h DESTINATION ${_jt_prefix}/include)
  # Copied last: its presence marks a finished build.
  file(COPY ${_jt_build}/libjpeg.a DESTINATION ${_jt_prefix}/lib)
endfunction()

if(NOT EXISTS ${_jt_lib})
  if(NOT EXISTS ${_jt_src}/jpeglib.h)
    _jt_fetch_source()
  endif()
  _jt_build_library()
endif()

add_library(romprog_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(romprog_jpeg PROPERTIES
  IMPORTED_LOCATION ${_jt_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_jt_prefix}/include)
