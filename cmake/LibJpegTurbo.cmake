# libjpeg-turbo for the Windows build, cross-built from Debian's source
# package, which scripts/install-deps.sh unpacks into a fixed place; the build
# needs no network.
include(ExternalProject)
set(LIBJPEG_TURBO_SOURCE_DIR /usr/local/src/lumora-setup/libjpeg-turbo
    CACHE PATH "libjpeg-turbo sources (scripts/install-deps.sh puts them here)")
if(NOT EXISTS ${LIBJPEG_TURBO_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "libjpeg-turbo sources not found in ${LIBJPEG_TURBO_SOURCE_DIR}; run scripts/install-deps.sh")
endif()
set(JPEG_INSTALL_DIR ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-install)

ExternalProject_Add(libjpeg_turbo_build
  SOURCE_DIR ${LIBJPEG_TURBO_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-build
  INSTALL_DIR ${JPEG_INSTALL_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
             -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  BUILD_BYPRODUCTS ${JPEG_INSTALL_DIR}/lib/libjpeg.a)

file(MAKE_DIRECTORY ${JPEG_INSTALL_DIR}/include)
add_library(jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(jpeg_static PROPERTIES
  IMPORTED_LOCATION ${JPEG_INSTALL_DIR}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${JPEG_INSTALL_DIR}/include)
add_dependencies(jpeg_static libjpeg_turbo_build)
