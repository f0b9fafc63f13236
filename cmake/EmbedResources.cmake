# Embeds files into a target at build time so that the module never opens
# them at run time; the code finds them with FindResource(id)
# (framework/graphics/raster/Resources.h).
#
#   velmora_embed_resources(TARGET <target> [NAME <name>] [BASE_DIR <dir>]
#                           TABLE <id>=<file> [<id>=<file> ...])
#
# <file> is relative to BASE_DIR (default: the calling directory) and is kept
# as written as the resource's name. The generated source registers its table
# while the module initialises, so <target> must be an executable, a shared
# or module library or an object library linked straight into one (a static
# library could drop the table), and it must link velmora_raster.
#
# In script mode (cmake -DMANIFEST=... -DOUTPUT=... -P EmbedResources.cmake)
# this file writes the source from the manifest the function prepared.

if(CMAKE_SCRIPT_MODE_FILE)
  function(_velmora_embed_write manifest output)
    file(STRINGS "${manifest}" lines)
    set(arrays "")
    set(table "")
    set(index 0)
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^([0-9]+)\\|([^|]*)\\|(.*)$")
        message(FATAL_ERROR "bad resource manifest line: ${line}")
      endif()
      set(id "${CMAKE_MATCH_1}")
      set(name "${CMAKE_MATCH_2}")
      set(path "${CMAKE_MATCH_3}")
      file(READ "${path}" hex HEX)
      string(LENGTH "${hex}" hex_length)
      math(EXPR size "${hex_length} / 2")
      if(size EQUAL 0)
        set(bytes "0")
      else()
        # 32 bytes per source line.
        string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
               "\\1\n" hex "${hex}")
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
      endif()
      string(REPLACE "\\" "\\\\" name "${name}")
      string(REPLACE "\"" "\\\"" name "${name}")
      string(APPEND arrays "const unsigned char kData${index}[] = {\n${bytes}\n};\n")
      string(APPEND table "    {${id}, \"${name}\", kData${index}, ${size}},\n")
      math(EXPR index "${index} + 1")
    endforeach()
    set(source "// Generated at build time by cmake/EmbedResources.cmake; do not edit.\n")
    string(APPEND source "#include \"framework/graphics/raster/Resources.h\"\n\nnamespace {\n\n")
    if(index GREATER 0)
      string(APPEND source "${arrays}\nconst velmora::EmbeddedResource kTable[] = {\n${table}};\n\n")
      string(APPEND source "const velmora::ResourceRegistration kRegistration(kTable, sizeof kTable / sizeof kTable[0]);\n\n")
    endif()
    string(APPEND source "}  // namespace\n")
    file(WRITE "${output}" "${source}")
  endfunction()

  if(NOT DEFINED MANIFEST OR NOT DEFINED OUTPUT)
    message(FATAL_ERROR "EmbedResources.cmake script mode needs -DMANIFEST=... -DOUTPUT=...")
  endif()
  _velmora_embed_write("${MANIFEST}" "${OUTPUT}")
  return()
endif()

function(velmora_embed_resources)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "TARGET;NAME;BASE_DIR" "TABLE")
  if(NOT ARG_TARGET OR NOT TARGET ${ARG_TARGET})
    message(FATAL_ERROR "velmora_embed_resources: TARGET must name an existing target")
  endif()
  get_target_property(type ${ARG_TARGET} TYPE)
  if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "INTERFACE_LIBRARY")
    message(FATAL_ERROR "velmora_embed_resources: ${ARG_TARGET} is a ${type}; embed into the module or executable")
  endif()
  if(NOT ARG_NAME)
    set(ARG_NAME embedded)
  endif()
  if(NOT ARG_BASE_DIR)
    set(ARG_BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()

  set(manifest "")
  set(ids "")
  set(files "")
  foreach(entry IN LISTS ARG_TABLE)
    if(NOT entry MATCHES "^([0-9]+)=([^|]+)$")
      message(FATAL_ERROR "velmora_embed_resources: '${entry}' is not <id>=<file>")
    endif()
    set(id "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    if(id IN_LIST ids)
      message(FATAL_ERROR "velmora_embed_resources: id ${id} appears twice")
    endif()
    list(APPEND ids ${id})
    cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY "${ARG_BASE_DIR}" NORMALIZE OUTPUT_VARIABLE path)
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "velmora_embed_resources: resource ${id} file ${path} is missing")
    endif()
    list(APPEND files "${path}")
    string(APPEND manifest "${id}|${name}|${path}\n")
  endforeach()

  set(base "${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_${ARG_NAME}_resources")
  # Rewritten only when the table changes, so unchanged builds stay quiet.
  file(CONFIGURE OUTPUT "${base}.manifest" CONTENT "${manifest}" @ONLY)
  add_custom_command(
    OUTPUT "${base}.cpp"
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${base}.manifest -DOUTPUT=${base}.cpp -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${files} "${base}.manifest" "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    COMMENT "Embedding ${ARG_NAME} resources into ${ARG_TARGET}"
    VERBATIM)
  set_source_files_properties("${base}.cpp" PROPERTIES
    INCLUDE_DIRECTORIES "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../framework/graphics")
  target_sources(${ARG_TARGET} PRIVATE "${base}.cpp")
endfunction()
