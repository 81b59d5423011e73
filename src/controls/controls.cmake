# The push button (unit TB97). Its behaviour, caption placement and
# accelerators are portable and built on every platform; the control itself,
# hosted by the framework's forms, only for Windows.
add_library(controls_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Accelerator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonAccessibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonBehaviour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptionLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HoverTracker.cpp)
target_link_libraries(controls_core PUBLIC base)

if(WIN32)
  add_library(controls STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ButtonPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SharedHoverTracker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TB97.cpp)
  target_link_libraries(controls PUBLIC controls_core framework user32 gdi32)
endif()
