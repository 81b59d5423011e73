# lean_link(TARGET): links the Windows program TARGET as small as its code
# allows, and writes its link map beside it as TARGET.map (bench/size reads
# it). lean_link_objects(): compiles the C++ of the calling folder and those
# below it so that such a link can optimise it (see the first point). Four
# things, none of which changes what the code does:
#
# - Link-time optimisation of the program's own C++ (-flto): the compiler
#   sees the whole program at the link, inlines and drops across files and
#   keeps one copy of each inline library function where each file had its
#   own: 31 KB of the setup program. The objects are "fat": they hold the
#   ordinary code as well, which every other program links as before. The
#   compiler driver always loads the linker plugin, which would optimise
#   them at every link; so -fno-lto is the default of every link here, and
#   lean_link's -flto comes after it. One partition (-flto-partition=one):
#   GCC 12 for Windows fails on this code with an internal error when it
#   splits the program. The stand-ins that the link renames calls to
#   (--wrap: src/picture) are C, compiled without -flto: GNU ld cannot link
#   a renamed call to a stand-in that the plugin compiles.
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

add_link_options(-fno-lto)

macro(lean_link_objects)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-flto> $<$<COMPILE_LANGUAGE:CXX>:-ffat-lto-objects>)
endmacro()

function(lean_link target)
  # -B puts the win32 runtime's folder first where the driver looks for
  # libraries and for crtbegin.o/crtend.o. The code compiled at the link is
  # compiled for size as the objects were (cmake/CompilerSettings.cmake),
  # but in one section: what it compiles is used (the compiler has dropped
  # the rest), and a section of its own for each function would cost each
  # the padding to its section's alignment, 2 KB in all.
  target_link_options(${target} PRIVATE -no-pthread -B${LEAN_RUNTIME_DIR}/
    -flto -flto-partition=one ${SIZE_OPTIMISATION})
  set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  set_target_properties(${target} PROPERTIES
    CXX_LINKER_LAUNCHER "${Python3_EXECUTABLE};${PROJECT_SOURCE_DIR}/scripts/lean_link.py;${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    ${PROJECT_SOURCE_DIR}/scripts/lean_link.py ${PROJECT_SOURCE_DIR}/scripts/unwind_table.py)
  set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES ${map})
endfunction()
