# Tests of the skin data holder and the image control, with the real windows.
if(WIN32)
  list(APPEND controls_test_sources
    ${CMAKE_CURRENT_LIST_DIR}/skin_data_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_win32_test.cpp)
  list(APPEND controls_test_libs kelvo_controls)
endif()
