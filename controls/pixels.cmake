# kelvo_pixels: the 32-bit bitmap, composition, resampling, drawing surfaces and
# PNG pictures. Portable; the device-context surface is added on Windows.
add_library(kelvo_pixels STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bitmap32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compose.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resample.cpp)
target_link_libraries(kelvo_pixels PUBLIC kelvo_core png_static ZLIB::ZLIB PRIVATE project_warnings)
