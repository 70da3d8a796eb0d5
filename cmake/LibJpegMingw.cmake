# libjpeg-turbo for the Windows build: built once from Debian's source package
# into the build tree and reused on every later configure.
set(PYR_JPEG_MINGW_PREFIX ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo)
if(NOT EXISTS ${PYR_JPEG_MINGW_PREFIX}/lib/libjpeg.a)
  message(STATUS "Building libjpeg-turbo for mingw (once) into ${PYR_JPEG_MINGW_PREFIX}")
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/tools/build-libjpeg-mingw.sh ${PYR_JPEG_MINGW_PREFIX} ${CMAKE_TOOLCHAIN_FILE}
    RESULT_VARIABLE _jpeg_rc)
  if(NOT _jpeg_rc EQUAL 0)
    message(FATAL_ERROR "Building libjpeg-turbo for mingw failed")
  endif()
endif()
add_library(JPEG::JPEG STATIC IMPORTED)
set_target_properties(JPEG::JPEG PROPERTIES
  IMPORTED_LOCATION ${PYR_JPEG_MINGW_PREFIX}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${PYR_JPEG_MINGW_PREFIX}/include)
