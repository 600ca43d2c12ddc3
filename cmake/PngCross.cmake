# libpng for the Windows builds: Debian's source package libpng1.6,
# cross-built with this tree's toolchain into a static library against the
# static zlib romprog_zlib names (cmake/Zlib.cmake). It is built once, at
# configure time, inside the build tree; later configure runs find the
# installed library and skip the work.
#
#   _deps/libpng-src      the unpacked source (apt-get source)
#   _deps/libpng-build    its build tree
#   _deps/libpng          headers and libpng.a
#
# Fetching the source needs a deb-src entry in the apt sources and dpkg-dev.

set(_png_deps ${CMAKE_BINARY_DIR}/_deps)
set(_png_src ${_png_deps}/libpng-src)
set(_png_build ${_png_deps}/libpng-build)
set(_png_prefix ${_png_deps}/libpng)
set(_png_lib ${_png_prefix}/lib/libpng.a)

# The toolchain file may have been given relative to the build or source tree;
# the nested build runs elsewhere and needs it absolute.
function(_png_toolchain_path out)
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

function(_png_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "libpng: ${what} failed (${rc}):\n${out}")
  endif()
endfunction()

function(_png_fetch_source)
  set(download ${_png_deps}/libpng-download)
  file(REMOVE_RECURSE ${download})
  file(MAKE_DIRECTORY ${download})
  message(STATUS "libpng: apt-get source into ${download}")
  execute_process(COMMAND apt-get source libpng1.6
                  WORKING_DIRECTORY ${download}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  # A mirror may not hold yet the newest version its index names: each other
  # version the index lists, in turn.
  if(NOT rc EQUAL 0)
    execute_process(COMMAND apt-cache showsrc libpng1.6 OUTPUT_VARIABLE listed ERROR_QUIET)
    string(REGEX MATCHALL "Version: [^\n]+" versions "${listed}")
    foreach(line IN LISTS versions)
      string(REPLACE "Version: " "" version "${line}")
      message(STATUS "libpng: apt-get source libpng1.6=${version}")
      execute_process(COMMAND apt-get source libpng1.6=${version}
                      WORKING_DIRECTORY ${download}
                      RESULT_VARIABLE rc OUTPUT_VARIABLE more ERROR_VARIABLE more)
      string(APPEND out "${more}")
      if(rc EQUAL 0)
        break()
      endif()
    endforeach()
  endif()
  file(GLOB unpacked LIST_DIRECTORIES true ${download}/libpng1.6-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(dsc|tar\\..*)$")
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR
      "libpng: 'apt-get source libpng1.6' failed (${rc}). It needs a 'deb-src' entry in the "
      "apt sources (then apt-get update) and dpkg-dev.\n${out}")
  endif()
  list(GET unpacked 0 dir)
  file(RENAME ${dir} ${_png_src})
endfunction()

function(_png_build_library)
  _png_toolchain_path(toolchain)
  message(STATUS "libpng: cross-building for ${CMAKE_SYSTEM_PROCESSOR}")
  # zlib.h and libz.a as cmake/Zlib.cmake found them for this tree.
  _png_run(configure ${CMAKE_COMMAND} -S ${_png_src} -B ${_png_build}
           -G ${CMAKE_GENERATOR} -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
           -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX=${_png_prefix} -DCMAKE_INSTALL_LIBDIR=lib
           -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
           -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_EXECUTABLES=ON
           -DZLIB_INCLUDE_DIR=${ROMPROG_ZLIB_INCLUDE} -DZLIB_LIBRARY=${ROMPROG_ZLIB_LIBRARY}
           -Wno-dev)
  # Only the static library and its headers are needed.
  _png_run(build ${CMAKE_COMMAND} --build ${_png_build} --target png_static -j 2)
  file(MAKE_DIRECTORY ${_png_prefix}/include ${_png_prefix}/lib)
  file(COPY ${_png_src}/png.h ${_png_src}/pngconf.h ${_png_build}/pnglibconf.h
       DESTINATION ${_png_prefix}/include)
  file(GLOB built ${_png_build}/libpng*.a)
  list(GET built 0 archive)
  # Copied last: its presence marks a finished build.
  file(COPY_FILE ${archive} ${_png_lib})
endfunction()

if(NOT EXISTS ${_png_lib})
  if(NOT EXISTS ${_png_src}/png.h)
    _png_fetch_source()
  endif()
  _png_build_library()
endif()

add_library(romprog_png STATIC IMPORTED GLOBAL)
set_target_properties(romprog_png PROPERTIES
  IMPORTED_LOCATION ${_png_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_png_prefix}/include
  INTERFACE_LINK_LIBRARIES romprog_zlib)
