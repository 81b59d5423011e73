# The wizard (unit IntroFrm). wizard_core: its page navigation and the texts
# and placement that need no window, built on every platform. wizard: the
# form on Win32, with its push buttons and, where they are built, the
# installation steps.
add_library(wizard_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WizardPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WizardSummary.cpp)
target_link_libraries(wizard_core PUBLIC base)

if(WIN32)
  add_library(wizard STATIC ${CMAKE_CURRENT_LIST_DIR}/IntroFrm.cpp)
  target_link_libraries(wizard PUBLIC wizard_core framework controls launcher_core folders)
  if(TARGET install_steps)
    target_link_libraries(wizard PUBLIC install_steps)
  endif()
endif()
