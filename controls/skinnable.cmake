# kelvo_controls: the skin data holder and the image control (Windows).
if(WIN32)
  add_library(kelvo_controls STATIC
    ${CMAKE_CURRENT_LIST_DIR}/skin_data_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_win32.cpp)
  target_link_libraries(kelvo_controls PUBLIC kelvo_toolkit kelvo_pixels PRIVATE project_warnings)
endif()
