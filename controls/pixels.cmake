# kelvo_pixels: the 32-bit bitmap, composition, resampling, drawing surfaces and
# PNG pictures. Portable; the device-context surface is added on Windows.
add_library(kelvo_pixels STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bitmap32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compose.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resample.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw_surface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_draw.cpp)
target_link_libraries(kelvo_pixels PUBLIC kelvo_base png_static ZLIB::ZLIB PRIVATE project_warnings)
if(WIN32)
  target_sources(kelvo_pixels PRIVATE ${CMAKE_CURRENT_LIST_DIR}/draw_surface_win32.cpp)
  target_link_libraries(kelvo_pixels PUBLIC gdi32)
endif()
