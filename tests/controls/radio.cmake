# Tests of the radio button (Windows, under wine): the control in a window of
# its own, driven by posted mouse and key messages.
if(WIN32)
  list(APPEND controls_test_sources ${CMAKE_CURRENT_LIST_DIR}/radio_button_win32_test.cpp)
  list(APPEND controls_test_libs kelvo_controls kelvo_common_controls_manifest)
endif()
