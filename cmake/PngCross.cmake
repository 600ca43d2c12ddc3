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

include(${CMAKE_CURRENT_LIST_DIR}/DebianSourceCross.cmake)

set(_png_deps ${CMAKE_BINARY_DIR}/_deps)
set(_png_src ${_png_deps}/libpng-src)
set(_png_build ${_png_deps}/libpng-build)
set(_png_prefix ${_png_deps}/libpng)
set(_png_lib ${_png_prefix}/lib/libpng.a)

function(_png_build_library)
  romprog_cross_toolchain(toolchain)
  message(STATUS "libpng: cross-building for ${CMAKE_SYSTEM_PROCESSOR}")
  # zlib.h and libz.a as cmake/Zlib.cmake found them for this tree.
  romprog_cross_run(libpng configure
    ${CMAKE_COMMAND} -S ${_png_src} -B ${_png_build}
    -G ${CMAKE_GENERATOR} -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
    -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${_png_prefix} -DCMAKE_INSTALL_LIBDIR=lib
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_EXECUTABLES=ON
    -DZLIB_INCLUDE_DIR=${ROMPROG_ZLIB_INCLUDE} -DZLIB_LIBRARY=${ROMPROG_ZLIB_LIBRARY}
    -Wno-dev)
  # Only the static library and its headers are needed.
  romprog_cross_run(libpng build
    ${CMAKE_COMMAND} --build ${_png_build} --target png_static -j 2)
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
    romprog_debian_source(libpng libpng1.6 ${_png_src})
  endif()
  _png_build_library()
endif()

add_library(romprog_png STATIC IMPORTED GLOBAL)
set_target_properties(romprog_png PROPERTIES
  IMPORTED_LOCATION ${_png_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_png_prefix}/include
  INTERFACE_LINK_LIBRARIES romprog_zlib)
