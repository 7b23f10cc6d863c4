# The setup program's resources, made at build time from setup/resources/
# by the generators in tools/resgen/ (win32 tree only).
#
#   glimmora_setup_resources(OUT_RC <var> [RENDERER_LIBS <151> <152> <153> <154> <155>])
#
# Call it from the directory that defines the setup program (custom-command
# outputs are only visible as sources there). It makes
#   - one resource-only library per row of languages.tsv,
#     ${CMAKE_BINARY_DIR}/setup/lang/lang_<Key>.dll (targets glimmora_lang_<Key>);
#   - each row's skin description and licence text in UTF-16LE;
#   - the program's own resource script, whose path it stores in <var>: add
#     that to the program's sources, and make the program depend on the target
#     glimmora_setup_resources, which makes the script and everything it names
#     (the libraries, texts and skin pictures) before the program compiles it.
# RENDERER_LIBS are the splash renderer's libraries, in resource-id order
# 151 to 155; paths or generator expressions. An empty or missing one leaves
# that resource out. A library built in this tree is best given as
# $<TARGET_FILE:...>, so the script waits for it.
include_guard(GLOBAL)

set(GLIMMORA_RESGEN_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools/resgen)
set(GLIMMORA_RESOURCE_DATA_DIR ${CMAKE_CURRENT_LIST_DIR}/../setup/resources)
cmake_path(NORMAL_PATH GLIMMORA_RESGEN_DIR)
cmake_path(NORMAL_PATH GLIMMORA_RESOURCE_DATA_DIR)

function(glimmora_setup_resources)
  if(NOT GLIMMORA_WIN32)
    message(FATAL_ERROR "glimmora_setup_resources: the setup program's resources are made in the win32 tree only")
  endif()
  # PARSE_ARGV keeps empty renderer paths in their place.
  cmake_parse_arguments(PARSE_ARGV 0 R "" "OUT_RC" "RENDERER_LIBS")
  if(NOT R_OUT_RC)
    message(FATAL_ERROR "glimmora_setup_resources: OUT_RC <variable> is required")
  endif()
  if(R_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "glimmora_setup_resources: unexpected arguments ${R_UNPARSED_ARGUMENTS}")
  endif()
  list(LENGTH R_RENDERER_LIBS renderer_count)
  if(renderer_count GREATER 5)
    message(FATAL_ERROR "glimmora_setup_resources: RENDERER_LIBS takes at most five paths (ids 151 to 155)")
  endif()
  find_package(Python3 COMPONENTS Interpreter REQUIRED)

  set(data ${GLIMMORA_RESOURCE_DATA_DIR})
  set(gen ${CMAKE_BINARY_DIR}/setup/resgen)
  set(lang_dir ${CMAKE_BINARY_DIR}/setup/lang)
  if(GLIMMORA_SKIN_DIR)
    set(skin_dir ${GLIMMORA_SKIN_DIR})
  else()
    # tools/skingen, which names the folder, is read after setup/ on a first configure.
    set(skin_dir ${CMAKE_BINARY_DIR}/skin)
  endif()
  set(tool ${GLIMMORA_RESGEN_DIR})
  set(python ${Python3_EXECUTABLE})
  set(templates ${data}/dialog_templates.tsv)
  set(skin_images ${tool}/skin_images.tsv)

  # The rows and pictures decide which targets and files exist.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${data}/languages.tsv ${skin_images})
  set(keys "")
  file(STRINGS ${data}/languages.tsv rows ENCODING UTF-8)
  foreach(row IN LISTS rows)
    if(row STREQUAL "" OR row MATCHES "^#")
      continue()
    endif()
    string(REPLACE "\t" ";" cells "${row}")
    list(GET cells 1 key)
    list(APPEND keys ${key})
  endforeach()
  set(pictures "")
  file(STRINGS ${skin_images} rows ENCODING UTF-8)
  foreach(row IN LISTS rows)
    if(row MATCHES "^[0-9]+\t(.+)$")
      list(APPEND pictures ${skin_dir}/${CMAKE_MATCH_1})
    endif()
  endforeach()

  set(common_deps ${tool}/resdata.py ${data}/languages.tsv)
  set(program_inputs "")
  foreach(key IN LISTS keys)
    set(rc ${gen}/lang_${key}.rc)
    add_custom_command(OUTPUT ${rc}
      COMMAND ${python} ${tool}/make_language_rc.py --data ${data} --key ${key} -o ${rc}
      DEPENDS ${tool}/make_language_rc.py ${common_deps} ${templates}
              ${data}/strings/${key}.tsv ${data}/dialogs/${key}.tsv
      COMMENT "Resource script of the ${key} language library"
      VERBATIM)
    # Resources only: no start-up code, no entry point, nothing imported, so
    # loading it runs nothing.
    add_library(glimmora_lang_${key} MODULE ${rc})
    set_target_properties(glimmora_lang_${key} PROPERTIES
      PREFIX ""
      OUTPUT_NAME lang_${key}
      LIBRARY_OUTPUT_DIRECTORY ${lang_dir}
      LINKER_LANGUAGE C)
    target_link_options(glimmora_lang_${key} PRIVATE -nostdlib -Wl,-e,0)

    set(ini ${gen}/skin_${key}.ini)
    if(key STREQUAL "English")
      set(overrides "")
      set(overrides_dep "")
    else()
      set(overrides --overrides ${data}/skin/${key}.overrides)
      set(overrides_dep ${data}/skin/${key}.overrides)
    endif()
    add_custom_command(OUTPUT ${ini}
      COMMAND ${python} ${tool}/make_skin_ini.py --english ${data}/skin/English.ini ${overrides} -o ${ini}
      DEPENDS ${tool}/make_skin_ini.py ${tool}/resdata.py ${data}/skin/English.ini ${overrides_dep}
      COMMENT "Skin description of ${key}"
      VERBATIM)

    set(licence ${gen}/licence_${key}.txt)
    add_custom_command(OUTPUT ${licence}
      COMMAND ${python} ${tool}/make_licence.py ${data}/licence/${key}.txt ${licence}
      DEPENDS ${tool}/make_licence.py ${tool}/resdata.py ${data}/licence/${key}.txt
      COMMENT "Licence text of ${key}"
      VERBATIM)

    list(APPEND program_inputs glimmora_lang_${key} ${ini} ${licence})
  endforeach()

  set(renderer_args "")
  set(renderer_deps "")
  set(ident 151)
  foreach(path IN LISTS R_RENDERER_LIBS)
    # One argument each, so an empty path still arrives (and is left out).
    list(APPEND renderer_args "--renderer=${ident}=${path}")
    if(NOT path STREQUAL "")
      list(APPEND renderer_deps ${path})
    endif()
    math(EXPR ident "${ident} + 1")
  endforeach()

  # The script names every resource file, and windres reads them when it
  # compiles the script; so the script is made again whenever one of them
  # changes, which recompiles it.
  set(program_rc ${gen}/setup_resources.rc)
  add_custom_command(OUTPUT ${program_rc}
    COMMAND ${python} ${tool}/make_program_rc.py --data ${data} --skin-dir ${skin_dir}
            --skin-images ${skin_images}
            --lang-dll ${lang_dir}/lang_{key}.dll
            --skin-ini ${gen}/skin_{key}.ini
            --licence ${gen}/licence_{key}.txt
            ${renderer_args} -o ${program_rc}
    DEPENDS ${tool}/make_program_rc.py ${common_deps} ${templates} ${skin_images}
            ${data}/strings/China.tsv ${data}/dialogs/China.tsv
            ${program_inputs} skin_images ${pictures} ${renderer_deps}
    COMMENT "Resource script of the setup program"
    VERBATIM)
  add_custom_target(glimmora_setup_resources ALL DEPENDS ${program_rc})

  set(${R_OUT_RC} ${program_rc} PARENT_SCOPE)
endfunction()
