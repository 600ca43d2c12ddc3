# Provides the target romprog_libxml2: libxml2, which reads romtool's DAT
# files. Native builds use Debian's libxml2-dev; Windows builds cross-build
# it from Debian's source package (cmake/Libxml2Cross.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Libxml2Cross.cmake)
else()
  find_package(LibXml2 REQUIRED)
  add_library(romprog_libxml2 INTERFACE)
  target_link_libraries(romprog_libxml2 INTERFACE LibXml2::LibXml2)
endif()
