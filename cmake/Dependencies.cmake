# Third-party libraries. Natively they come from Debian's -dev packages; for the
# Windows cross build zlib comes from libz-mingw-w64-dev and libjpeg-turbo and libpng are built
# once from Debian's source packages (see cmake/LibJpegMingw.cmake, cmake/LibPngMingw.cmake).
if(WIN32)
  find_library(PYR_MINGW_ZLIB NAMES libz.a REQUIRED)
  add_library(ZLIB::ZLIB STATIC IMPORTED)
  set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_LOCATION ${PYR_MINGW_ZLIB})
  include(cmake/LibJpegMingw.cmake)
  include(cmake/LibPngMingw.cmake)
else()
  find_package(ZLIB REQUIRED)
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
  find_package(Freetype REQUIRED)
  find_package(Threads REQUIRED)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  include(GoogleTest)
endif()
