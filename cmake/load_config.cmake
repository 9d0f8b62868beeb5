# kelvo_register_load_config(TARGET): after each link, registers the load
# configuration that toolkit/system_library_win32.cpp links into TARGET (its
# dependent-load flags keep the static imports in the system folder). The
# linker here does not register it by itself.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(kelvo_register_load_config target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/pe_load_config.py $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
