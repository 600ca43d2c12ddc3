# Provides the target romprog_jpeg: the libjpeg API.
# Native builds use the system's libjpeg; Windows builds get libjpeg-turbo
# cross-built from Debian's source package (see cmake/JpegCross.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/JpegCross.cmake OPTIONAL RESULT_VARIABLE _jpeg_cross)
  if(NOT _jpeg_cross)
    add_library(romprog_jpeg INTERFACE)
  endif()
else()
  find_package(JPEG REQUIRED)
  add_library(romprog_jpeg INTERFACE)
  target_link_libraries(romprog_jpeg INTERFACE JPEG::JPEG)
endif()
