# The radio button (Windows): joins kelvo_controls, which the skin data holder
# and the image control start.
if(WIN32)
  target_sources(kelvo_controls PRIVATE ${CMAKE_CURRENT_LIST_DIR}/radio_button_win32.cpp)
endif()
