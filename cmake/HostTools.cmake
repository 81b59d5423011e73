# The Windows build packs its sample installers with the packing tool built
# for this machine, and reads the stub's link map with the size report: a
# native sub-build of the same tree, tools only.
include(ExternalProject)
ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/host
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DSETUP_TESTS=OFF
             -DCMAKE_TOOLCHAIN_FILE= -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target setuppack size_report
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/host/tools/setuppack/setuppack
                   ${CMAKE_BINARY_DIR}/host/bench/size/size_report)
set(HOST_SETUPPACK ${CMAKE_BINARY_DIR}/host/tools/setuppack/setuppack)
set(HOST_SIZE_REPORT ${CMAKE_BINARY_DIR}/host/bench/size/size_report)
