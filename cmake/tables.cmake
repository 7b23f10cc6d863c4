# Fixed tables of the model live in tab-separated data files; this turns one
# into rows of a C++ aggregate initialiser, included by the code that owns
# the table.
#
#   glimmora_table_rows(INPUT data.tsv OUTPUT rows.inc COLUMNS N S ...)
#
# COLUMNS gives each column's kind: N is copied as a number, S becomes a
# UTF-16 string literal. Lines starting with '#' and empty lines are skipped;
# spaces inside a cell, trailing ones included, are kept.
function(glimmora_table_rows)
  cmake_parse_arguments(T "" "INPUT;OUTPUT" "COLUMNS" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${T_INPUT})
  file(STRINGS ${T_INPUT} lines ENCODING UTF-8)
  list(LENGTH T_COLUMNS ncols)
  set(out "// Generated from ${T_INPUT}; edit that file, not this one.\n")
  foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REPLACE "\t" ";" cells "${line}")
    list(LENGTH cells n)
    if(NOT n EQUAL ncols)
      message(FATAL_ERROR "${T_INPUT}: expected ${ncols} columns in: ${line}")
    endif()
    set(row "")
    foreach(i RANGE 0 ${ncols})
      if(i EQUAL ncols)
        break()
      endif()
      list(GET cells ${i} cell)
      list(GET T_COLUMNS ${i} kind)
      if(kind STREQUAL "S")
        string(REPLACE "\\" "\\\\" cell "${cell}")
        string(REPLACE "\"" "\\\"" cell "${cell}")
        string(APPEND row "u\"${cell}\", ")
      else()
        string(APPEND row "${cell}, ")
      endif()
    endforeach()
    string(APPEND out "    {${row}},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${T_OUTPUT} CONTENT "${out}" @ONLY)
endfunction()
