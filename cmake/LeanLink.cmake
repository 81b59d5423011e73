# lean_link(TARGET): links the Windows program TARGET as small as its code
# allows, and writes its link map beside it as TARGET.map (bench/size reads
# it). Three things, each about what the linker takes in, none about code:
#
# - The C++ runtime of the win32 thread model. The toolchain's compilers are
#   the posix ones (GoogleTest needs std::mutex), whose libstdc++ and libgcc
#   call winpthreads for the static-initialisation guard, the emergency
#   exception pool and thread-local storage: 32 KB of a thread library in a
#   program that runs one thread. The win32 flavour's libstdc++, libgcc and
#   crtbegin/crtend (the same GCC release, built with the thread model that
#   uses Windows' own primitives) stand in for them. The program's objects
#   are compiled against the posix headers; that is sound because they call
#   no pthread function (-no-pthread leaves winpthreads out of the link, so
#   any such call would fail to link) and use none of the types whose layout
#   follows the thread model (std::mutex, std::condition_variable,
#   std::once_flag, std::thread). Compiled both ways, the program's sources
#   give the same code but for shared_ptr's reference count, which the posix
#   headers always change with an atomic instruction, correct either way.
# - The unwind tables of unused inline functions go with them: see
#   scripts/lean_link.py, run as the linker launcher.
# - The map: written by the same script.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

string(REGEX REPLACE "-posix$" "-win32" LEAN_RUNTIME_COMPILER "${CMAKE_CXX_COMPILER}")
execute_process(
  COMMAND ${LEAN_RUNTIME_COMPILER} -print-libgcc-file-name
  OUTPUT_VARIABLE LEAN_RUNTIME_LIBGCC
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE LEAN_RUNTIME_FOUND)
if(NOT LEAN_RUNTIME_FOUND EQUAL 0 OR NOT EXISTS "${LEAN_RUNTIME_LIBGCC}")
  message(FATAL_ERROR "${LEAN_RUNTIME_COMPILER} gives no C++ runtime of the win32 thread model; "
                      "run scripts/install-deps.sh")
endif()
get_filename_component(LEAN_RUNTIME_DIR "${LEAN_RUNTIME_LIBGCC}" DIRECTORY)

function(lean_link target)
  # -B puts the win32 runtime's folder first where the driver looks for
  # libraries and for crtbegin.o/crtend.o.
  target_link_options(${target} PRIVATE -no-pthread -B${LEAN_RUNTIME_DIR}/)
  set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  set_target_properties(${target} PROPERTIES
    CXX_LINKER_LAUNCHER "${Python3_EXECUTABLE};${PROJECT_SOURCE_DIR}/scripts/lean_link.py;${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    ${PROJECT_SOURCE_DIR}/scripts/lean_link.py ${PROJECT_SOURCE_DIR}/scripts/unwind_table.py)
  set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES ${map})
endfunction()
