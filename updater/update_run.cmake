# kelvo_update_run: the start button's update run (archive beside the
# executable, extraction into the install folder), portable over the file
# system seam of the install search.
add_library(kelvo_update_run STATIC ${CMAKE_CURRENT_LIST_DIR}/update_run.cpp)
target_link_libraries(kelvo_update_run PUBLIC kelvo_archive kelvo_discovery PRIVATE project_warnings)
