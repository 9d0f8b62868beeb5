# Tests of the pixel routines and PNG pictures.
list(APPEND controls_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/bitmap32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compose_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resample_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_picture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_draw_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_classes_test.cpp)
if(WIN32)
  list(APPEND controls_test_sources ${CMAKE_CURRENT_LIST_DIR}/draw_surface_win32_test.cpp)
endif()
list(APPEND controls_test_libs kelvo_pixels)

# The test pictures are read where they lie; Wine sees the Linux root as Z:.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(kelvo_test_data_dir "Z:${PROJECT_SOURCE_DIR}/tests/data")
else()
  set(kelvo_test_data_dir "${PROJECT_SOURCE_DIR}/tests/data")
endif()
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/png_picture_test.cpp ${CMAKE_CURRENT_LIST_DIR}/png_draw_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/picture_classes_test.cpp ${CMAKE_CURRENT_LIST_DIR}/draw_surface_win32_test.cpp
             DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
             APPEND PROPERTY COMPILE_DEFINITIONS KELVO_TEST_DATA_DIR="${kelvo_test_data_dir}")
