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

include(${CMAKE_CURRENT_LIST_DIR}/DebianSourceCross.cmake)

set(_jt_deps ${CMAKE_BINARY_DIR}/_deps)
set(_jt_src ${_jt_deps}/libjpeg-turbo-src)
set(_jt_build ${_jt_deps}/libjpeg-turbo-build)
set(_jt_prefix ${_jt_deps}/libjpeg-turbo)
set(_jt_lib ${_jt_prefix}/lib/libjpeg.a)

function(_jt_build_library)
  romprog_cross_toolchain(toolchain)
  message(STATUS "libjpeg-turbo: cross-building for ${CMAKE_SYSTEM_PROCESSOR}")
  romprog_cross_run(libjpeg-turbo configure
    ${CMAKE_COMMAND} -S ${_jt_src} -B ${_jt_build}
    -G ${CMAKE_GENERATOR} -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
    -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${_jt_prefix} -DCMAKE_INSTALL_LIBDIR=lib
    -DCMAKE_INSTALL_INCLUDEDIR=include
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
    -Wno-dev)
  # Only the library and its headers are needed; the tools are left unbuilt.
  romprog_cross_run(libjpeg-turbo build
    ${CMAKE_COMMAND} --build ${_jt_build} --target jpeg-static -j 2)
  file(MAKE_DIRECTORY ${_jt_prefix}/include ${_jt_prefix}/lib)
  file(COPY ${_jt_src}/jpeglib.h ${_jt_src}/jmorecfg.h ${_jt_src}/jerror.h
            ${_jt_build}/jconfig.h DESTINATION ${_jt_prefix}/include)
  # Copied last: its presence marks a finished build.
  file(COPY ${_jt_build}/libjpeg.a DESTINATION ${_jt_prefix}/lib)
endfunction()

if(NOT EXISTS ${_jt_lib})
  if(NOT EXISTS ${_jt_src}/jpeglib.h)
    romprog_debian_source(libjpeg-turbo libjpeg-turbo ${_jt_src})
  endif()
  _jt_build_library()
endif()

add_library(romprog_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(romprog_jpeg PROPERTIES
  IMPORTED_LOCATION ${_jt_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_jt_prefix}/include)
