# libpng 1.6 for targets without a packaged build of it (the Windows cross
# build): compiled from Debian's libpng1.6 source package, which
# tools/windows-tests.sh fetches and unpacks (Debian's patches applied) into
# build-deps/libpng. Defines PNG::PNG, linked against the target's zlib.
set(VELMORA_LIBPNG_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build-deps/libpng" CACHE PATH
    "Unpacked libpng 1.6 source tree (Debian source package libpng1.6)")

set(_png ${VELMORA_LIBPNG_SOURCE_DIR})
if(NOT EXISTS "${_png}/png.h" OR NOT EXISTS "${_png}/scripts/pnglibconf.h.prebuilt")
  message(FATAL_ERROR "No libpng source tree in ${_png}: run tools/windows-tests.sh deps "
                      "(or set VELMORA_LIBPNG_SOURCE_DIR)")
endif()

find_package(ZLIB REQUIRED)

# The prebuilt configuration: everything on, no hardware-specific filters.
configure_file(${_png}/scripts/pnglibconf.h.prebuilt ${CMAKE_BINARY_DIR}/libpng/pnglibconf.h COPYONLY)

add_library(velmora_libpng STATIC
  ${_png}/png.c
  ${_png}/pngerror.c
  ${_png}/pngget.c
  ${_png}/pngmem.c
  ${_png}/pngpread.c
  ${_png}/pngread.c
  ${_png}/pngrio.c
  ${_png}/pngrtran.c
  ${_png}/pngrutil.c
  ${_png}/pngset.c
  ${_png}/pngtrans.c
  ${_png}/pngwio.c
  ${_png}/pngwrite.c
  ${_png}/pngwtran.c
  ${_png}/pngwutil.c
)
target_include_directories(velmora_libpng SYSTEM PUBLIC ${_png} ${CMAKE_BINARY_DIR}/libpng)
target_compile_definitions(velmora_libpng PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=0)
# Not our code: its warnings are libpng's business.
target_compile_options(velmora_libpng PRIVATE -w)
target_link_libraries(velmora_libpng PUBLIC ZLIB::ZLIB)
add_library(PNG::PNG ALIAS velmora_libpng)
unset(_png)
