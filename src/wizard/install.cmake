# The installation steps. install_core: the portable texts (file paths, base
# name, the registration command, the uninstall entry's values, the info
# file's error texts), built on every platform. install_steps: the steps on
# Win32 (a target may not be called "install").
add_library(install_core STATIC
  InOutError.cpp
  InstallPaths.cpp
  RegistrationCommand.cpp
  UninstallValues.cpp)
target_link_libraries(install_core PUBLIC base)

if(NOT WIN32)
  return()
endif()

# The folder functions come from the launcher's `folders` library, which
# holds no more than them, so linking it makes no cycle with `launcher`.
add_library(install_steps STATIC
  FmxUtils.cpp
  InfoFile.cpp
  InstallSteps.cpp
  UninstallRegistry.cpp)
target_link_libraries(install_steps PUBLIC install_core framework launcher_core folders shell32)
