# Provides the target romprog_gcrypt: libgcrypt, for SHA-1. Native builds use
# Debian's libgcrypt20-dev; Windows builds the static libgcrypt.a and
# libgpg-error.a of libgcrypt-mingw-w64-dev, so romtool.exe carries no DLL.
add_library(romprog_gcrypt INTERFACE)
if(WIN32)
  find_path(ROMPROG_GCRYPT_INCLUDE gcrypt.h REQUIRED)
  find_library(ROMPROG_GCRYPT_LIBRARY NAMES libgcrypt.a REQUIRED)
  find_library(ROMPROG_GPG_ERROR_LIBRARY NAMES libgpg-error.a REQUIRED)
  target_include_directories(romprog_gcrypt INTERFACE ${ROMPROG_GCRYPT_INCLUDE})
  # libgpg-error speaks to the system through Winsock.
  target_link_libraries(romprog_gcrypt INTERFACE ${ROMPROG_GCRYPT_LIBRARY}
                                                 ${ROMPROG_GPG_ERROR_LIBRARY} ws2_32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ROMPROG_GCRYPT REQUIRED IMPORTED_TARGET libgcrypt)
  target_link_libraries(romprog_gcrypt INTERFACE PkgConfig::ROMPROG_GCRYPT)
endif()
