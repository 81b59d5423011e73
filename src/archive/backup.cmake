# The restore component (unit "backup"), its path rules, the user-interface
# hook and the file-system backend of the platform.
add_library(backup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/backup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BufferedIo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RestorePaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RestoreUi.cpp)
target_link_libraries(backup PUBLIC archive)
if(WIN32)
  target_sources(backup PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Win32FileSystem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32RestoreUi.cpp)
  target_link_libraries(backup PUBLIC kernel32 user32)
else()
  target_sources(backup PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystem.cpp)
endif()
