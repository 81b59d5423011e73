# zlib for the Windows build, cross-built from Debian's source package like
# libjpeg-turbo (cmake/LibJpegTurbo.cmake; install-deps.sh unpacks both) and
# provided as ZLIB::ZLIB.
# Debian's own mingw-w64 build carries unwind tables that keep every function
# of each object it takes, and gzip support that pulls in CRC-32: 36 KB of the
# setup program, where the inflate it calls needs 10 KB. This build is for
# size (-Oz, as the program is), each function in a section of its own so that
# the linker keeps only what is called, and without gzip streams (NO_GZIP):
# the archive layout holds zlib streams only, and deflate writes them only. No
# unwind tables: zlib calls back only into the program's allocator
# (src/archive/ZlibMemory.cpp), which never throws. The fixed Huffman tables
# are built the first time a stream needs them (BUILDFIXED), the same tables,
# rather than carried: 2 KB less in the file. Building them is not safe
# between threads; the programs inflate on one. The tables are uninitialised
# data, which takes no room in the file unless each variable gets a section
# of its own: GCC for Windows names such sections .data$NAME, and they are
# written out like initialised data, so no -fdata-sections here.
include(ExternalProject)
set(ZLIB_SOURCE_DIR /usr/local/src/lumora-setup/zlib
    CACHE PATH "zlib sources (scripts/install-deps.sh puts them here)")
if(NOT EXISTS ${ZLIB_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "zlib sources not found in ${ZLIB_SOURCE_DIR}; run scripts/install-deps.sh")
endif()
set(ZLIB_BUILD_DIR ${CMAKE_BINARY_DIR}/_deps/zlib-build)

ExternalProject_Add(zlib_build
  SOURCE_DIR ${ZLIB_SOURCE_DIR}
  BINARY_DIR ${ZLIB_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=MinSizeRel "-DCMAKE_C_FLAGS_MINSIZEREL=-Oz -DNDEBUG"
             "-DCMAKE_C_FLAGS=-ffunction-sections -fno-asynchronous-unwind-tables -DNO_GZIP -DBUILDFIXED"
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target zlibstatic
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${ZLIB_BUILD_DIR}/libzlibstatic.a)

# zlib.h is in the sources; zconf.h is made by zlib's configuration.
file(MAKE_DIRECTORY ${ZLIB_BUILD_DIR})
add_library(ZLIB::ZLIB STATIC IMPORTED GLOBAL)
set_target_properties(ZLIB::ZLIB PROPERTIES
  IMPORTED_LOCATION ${ZLIB_BUILD_DIR}/libzlibstatic.a
  INTERFACE_INCLUDE_DIRECTORIES "${ZLIB_SOURCE_DIR};${ZLIB_BUILD_DIR}")
add_dependencies(ZLIB::ZLIB zlib_build)
