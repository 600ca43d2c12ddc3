# Provides the target romprog_zlib: zlib (CRC-32 and deflate). Native builds
# use Debian's zlib1g-dev, Windows builds the static libz.a of
# libz-mingw-w64-dev, so the programs carry no zlib1.dll.
if(WIN32)
  find_path(ROMPROG_ZLIB_INCLUDE zlib.h REQUIRED)
  find_library(ROMPROG_ZLIB_LIBRARY NAMES libz.a REQUIRED)
  add_library(romprog_zlib INTERFACE)
  target_include_directories(romprog_zlib INTERFACE ${ROMPROG_ZLIB_INCLUDE})
  target_link_libraries(romprog_zlib INTERFACE ${ROMPROG_ZLIB_LIBRARY})
else()
  find_package(ZLIB REQUIRED)
  add_library(romprog_zlib INTERFACE)
  target_link_libraries(romprog_zlib INTERFACE ZLIB::ZLIB)
endif()
