# Warnings and platform flags shared by every target of the tree.
add_compile_options(-Wall -Wextra)
# The same sources give the same programs from any folder: no source or
# build folder in the code.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)

if(WIN32)
  # One self-contained PE32 executable: no runtime DLLs beside it. The
  # functions of Windows Vista, the oldest system the manifest names, may be
  # called.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600 WINVER=0x0600)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # No run-time type information: the setup program has no dynamic_cast or
  # typeid (a component tells whether it is a form, TComponent::AsForm), and
  # the type names and class descriptions of every polymorphic class, with
  # libstdc++'s code that walks them, are about 7 KB of it. Exceptions keep
  # the type information they need to be caught.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  # The same sources give the same executables: no link time in the PE
  # header.
  add_link_options(-Wl,--no-insert-timestamp)
  if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
    # Each function and variable in a section of its own, which the linker
    # keeps only when it is used.
    add_compile_options(-ffunction-sections -fdata-sections)
    # -Oz: -Os that also picks the shorter instruction where -Os picks the
    # faster one. No IPA-SRA: it gives each file its own private copy of
    # inline library functions it calls with changed parameters (std::string's
    # constructors and assignment, a dozen copies each in the setup program),
    # copies the linker cannot share. The setup program's link, which
    # compiles its code again, is given the same options
    # (cmake/LeanLink.cmake).
    set(SIZE_OPTIMISATION -Oz -fno-ipa-sra)
    add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${SIZE_OPTIMISATION}>")
    add_link_options(-s -Wl,--gc-sections)
  endif()
endif()

if(SETUP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
