# pyr_embed_archive(TARGET target FILE path/to/data.rfa [NAME resource-name])
# Carries the file inside the target's binary as the program resource NAME
# (default: the file name with its first dot replaced by "_", upper-cased, so
# data.rfa becomes DATA_RFA). On Windows it becomes an RCDATA resource that
# TWin32ProgramResources finds; elsewhere the bytes are assembled in with
# .incbin and listed for TEmbeddedResources (names compared case-insensitively).
# The file may be produced by the build (add_custom_command); the target is
# rebuilt when it changes.
if(WIN32)
  enable_language(RC)
endif()

set(PYR_EMBED_ARCHIVE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(pyr_embed_archive)
  cmake_parse_arguments(E "" "TARGET;FILE;NAME" "" ${ARGN})
  if(NOT E_TARGET OR NOT E_FILE)
    message(FATAL_ERROR "pyr_embed_archive needs TARGET and FILE")
  endif()
  get_filename_component(file "${E_FILE}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(E_NAME)
    set(name "${E_NAME}")
  else()
    get_filename_component(name "${file}" NAME)
    string(FIND "${name}" "." dot)
    if(dot GREATER_EQUAL 0)
      string(SUBSTRING "${name}" 0 ${dot} head)
      math(EXPR tail_start "${dot} + 1")
      string(SUBSTRING "${name}" ${tail_start} -1 tail)
      set(name "${head}_${tail}")
    endif()
    string(TOUPPER "${name}" name)
  endif()
  string(MAKE_C_IDENTIFIER "${E_TARGET}_${name}" ident)
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/embed_${ident})

  if(WIN32)
    set(rc ${gen_dir}/${ident}.rc)
    file(TO_NATIVE_PATH "${file}" rc_path)
    string(REPLACE "\\" "\\\\" rc_path "${rc_path}")
    file(CONFIGURE OUTPUT ${rc} CONTENT "${name} RCDATA \"${rc_path}\"\n")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${file}")
    target_sources(${E_TARGET} PRIVATE ${rc})
  else()
    set(cpp ${gen_dir}/${ident}.cpp)
    set(PYR_EMBED_SYMBOL pyr_embedded_${ident})
    set(PYR_EMBED_NAME "${name}")
    set(PYR_EMBED_FILE "${file}")
    configure_file(${PYR_EMBED_ARCHIVE_DIR}/EmbedArchive.cpp.in ${cpp} @ONLY)
    set_source_files_properties(${cpp} PROPERTIES OBJECT_DEPENDS "${file}")
    target_sources(${E_TARGET} PRIVATE ${cpp})
  endif()
endfunction()
