# libpng for the Windows build: built once from Debian's source package against
# the mingw zlib into the build tree and reused on every later configure.
set(PYR_PNG_MINGW_PREFIX ${CMAKE_BINARY_DIR}/third_party/libpng)
if(NOT EXISTS ${PYR_PNG_MINGW_PREFIX}/lib/libpng.a)
  message(STATUS "Building libpng for mingw (once) into ${PYR_PNG_MINGW_PREFIX}")
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/tools/build-libpng-mingw.sh ${PYR_PNG_MINGW_PREFIX} ${CMAKE_TOOLCHAIN_FILE}
    RESULT_VARIABLE _png_rc)
  if(NOT _png_rc EQUAL 0)
    message(FATAL_ERROR "Building libpng for mingw failed")
  endif()
endif()
add_library(PNG::PNG STATIC IMPORTED)
set_target_properties(PNG::PNG PROPERTIES
  IMPORTED_LOCATION ${PYR_PNG_MINGW_PREFIX}/lib/libpng.a
  INTERFACE_INCLUDE_DIRECTORIES ${PYR_PNG_MINGW_PREFIX}/include
  INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
