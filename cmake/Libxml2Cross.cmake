# libxml2 for the Windows builds: Debian's source package cross-built with
# this tree's toolchain into a static library, with no more than romtool
# reads DATs with (the push parser): no iconv, lzma, zlib, ICU, Python, HTTP
# or FTP, no programs or tests. It is built once, at configure time, inside
# the build tree; later configure runs find the installed library and skip
# the work.
#
#   _deps/libxml2-src      the unpacked source (apt-get source, Debian's patches applied)
#   _deps/libxml2-build    its build tree
#   _deps/libxml2          headers and libxml2.a
#
# Fetching the source needs a deb-src entry in the apt sources and dpkg-dev.

include(${CMAKE_CURRENT_LIST_DIR}/DebianSourceCross.cmake)

set(_lx_deps ${CMAKE_BINARY_DIR}/_deps)
set(_lx_src ${_lx_deps}/libxml2-src)
set(_lx_build ${_lx_deps}/libxml2-build)
set(_lx_prefix ${_lx_deps}/libxml2)
set(_lx_lib ${_lx_prefix}/lib/libxml2.a)

function(_lx_build_library)
  romprog_cross_toolchain(toolchain)
  message(STATUS "libxml2: cross-building for ${CMAKE_SYSTEM_PROCESSOR}")
  set(off)
  foreach(feature C14N CATALOG DEBUG DOCB FTP HTML HTTP ICONV ICU LEGACY LZMA MODULES
                  PROGRAMS PYTHON SCHEMAS SCHEMATRON TESTS XINCLUDE XPTR ZLIB)
    list(APPEND off -DLIBXML2_WITH_${feature}=OFF)
  endforeach()
  romprog_cross_run(libxml2 configure
    ${CMAKE_COMMAND} -S ${_lx_src} -B ${_lx_build}
    -G ${CMAKE_GENERATOR} -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
    -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${_lx_prefix} -DCMAKE_INSTALL_LIBDIR=lib
    -DBUILD_SHARED_LIBS=OFF ${off}
    # Windows' own threads, not MinGW's pthread.h (winpthreads), whose
    # library romtool.exe would then have to carry.
    -DHAVE_PTHREAD_H=0 -Wno-dev)
  romprog_cross_run(libxml2 build
    ${CMAKE_COMMAND} --build ${_lx_build} -j 2)
  # The install copies the headers (include/libxml2/libxml) and the library,
  # whose presence marks a finished build.
  romprog_cross_run(libxml2 install
    ${CMAKE_COMMAND} --install ${_lx_build})
endfunction()

if(NOT EXISTS ${_lx_lib})
  if(NOT EXISTS ${_lx_src}/CMakeLists.txt)
    romprog_debian_source(libxml2 libxml2 ${_lx_src})
  endif()
  _lx_build_library()
endif()

add_library(romprog_libxml2 STATIC IMPORTED GLOBAL)
set_target_properties(romprog_libxml2 PROPERTIES
  IMPORTED_LOCATION ${_lx_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_lx_prefix}/include/libxml2
  # The headers declare the functions for a DLL unless told it is static.
  INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC)
