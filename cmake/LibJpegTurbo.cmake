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

# Built for size (-Oz, as the program is: cmake/CompilerSettings.cmake), as a
# decoder of baseline and progressive Huffman-coded pictures: no arithmetic
# coding (an option of its own). The compile flags give each function a
# section of its own so the linker keeps only what the program calls; no
# unwind tables, since no C++ exception ever passes through libjpeg (its
# errors come back through longjmp, see JpegDecoder.cpp); no JPEGMEM
# environment variable, whose reading pulls in sscanf; and messages formatted
# by the C runtime's own printf family rather than mingw-w64's larger C99 one
# (the messages use only %d, %u, %x, %c and %s).
set(JPEG_C_FLAGS "-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -DNO_GETENV -D__USE_MINGW_ANSI_STDIO=0")

ExternalProject_Add(libjpeg_turbo_build
  SOURCE_DIR ${LIBJPEG_TURBO_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-build
  INSTALL_DIR ${JPEG_INSTALL_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=MinSizeRel "-DCMAKE_C_FLAGS_MINSIZEREL=-Oz -DNDEBUG"
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
             -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
             -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF -DFORCE_INLINE=OFF
             "-DCMAKE_C_FLAGS=${JPEG_C_FLAGS}"
  BUILD_BYPRODUCTS ${JPEG_INSTALL_DIR}/lib/libjpeg.a)

file(MAKE_DIRECTORY ${JPEG_INSTALL_DIR}/include)
add_library(jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(jpeg_static PROPERTIES
  IMPORTED_LOCATION ${JPEG_INSTALL_DIR}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${JPEG_INSTALL_DIR}/include)
add_dependencies(jpeg_static libjpeg_turbo_build)
