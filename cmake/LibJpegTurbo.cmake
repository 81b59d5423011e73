# libjpeg-turbo for the Windows build, cross-built from Debian's source
# package. The sources are fetched once with `apt-get source` (Debian's
# registry is the only source) and kept under the build tree.
include(ExternalProject)
set(JPEG_CACHE_DIR ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-source)
set(JPEG_INSTALL_DIR ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-install)

ExternalProject_Add(libjpeg_turbo_build
  DOWNLOAD_COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-libjpeg-source.sh ${JPEG_CACHE_DIR}
  SOURCE_DIR ${JPEG_CACHE_DIR}/src
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
