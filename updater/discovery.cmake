# kelvo_discovery: finding the install folder. The search, the marker check and
# the dialog's rules are portable and tested natively with fakes; the system's
# file, locale and dialog calls are the Windows side.
add_library(kelvo_discovery STATIC
  ${CMAKE_CURRENT_LIST_DIR}/file_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_discovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/open_dialog.cpp)
if(WIN32)
  target_sources(kelvo_discovery PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/locale_text_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/open_dialog_win32.cpp)
  target_link_libraries(kelvo_discovery PUBLIC ole32 uuid)
endif()
target_link_libraries(kelvo_discovery PUBLIC kelvo_base PRIVATE project_warnings)
