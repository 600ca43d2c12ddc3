# Provides the target romprog_png: libpng, for romtool's pictures of a chip.
# Native builds use Debian's libpng-dev; Windows builds get libpng cross-built
# from Debian's source package against the static zlib of romprog_zlib (see
# cmake/PngCross.cmake), so romtool.exe stays one file.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PngCross.cmake)
else()
  find_package(PNG REQUIRED)
  add_library(romprog_png INTERFACE)
  target_link_libraries(romprog_png INTERFACE PNG::PNG)
endif()
