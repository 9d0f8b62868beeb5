# zlib, libpng and GoogleTest for the current target.

# zlib: the static library, so the Windows exe does not need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# libpng: Debian's patched 1.6 source, unpacked into the build tree by
# scripts/fetch-libpng and compiled here with its prebuilt configuration.
set(KELVO_LIBPNG_DIR "${PROJECT_SOURCE_DIR}/build/deps/libpng" CACHE PATH "unpacked libpng 1.6 source")
if(NOT EXISTS "${KELVO_LIBPNG_DIR}/png.c")
  execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/fetch-libpng" "${KELVO_LIBPNG_DIR}"
                  RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "libpng source is missing and could not be fetched")
  endif()
endif()
configure_file(${KELVO_LIBPNG_DIR}/scripts/pnglibconf.h.prebuilt
               ${CMAKE_BINARY_DIR}/libpng-gen/pnglibconf.h COPYONLY)
set(png_sources png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c
    pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
list(TRANSFORM png_sources PREPEND ${KELVO_LIBPNG_DIR}/)
add_library(png_static STATIC ${png_sources})
target_include_directories(png_static SYSTEM PUBLIC ${KELVO_LIBPNG_DIR} ${CMAKE_BINARY_DIR}/libpng-gen)
target_compile_definitions(png_static PRIVATE
  PNG_ARM_NEON_OPT=0 PNG_POWERPC_VSX_OPT=0 PNG_MIPS_MSA_OPT=0 PNG_INTEL_SSE_OPT=0)
target_link_libraries(png_static PUBLIC ZLIB::ZLIB)
set_target_properties(png_static PROPERTIES C_VISIBILITY_PRESET default)

# GoogleTest, built for this target from Debian's source package.
if(KELVO_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  include(GoogleTest)
endif()
