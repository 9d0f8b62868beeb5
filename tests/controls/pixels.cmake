# Tests of the pixel routines and PNG pictures.
list(APPEND controls_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/bitmap32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compose_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resample_test.cpp)
list(APPEND controls_test_libs kelvo_pixels)
