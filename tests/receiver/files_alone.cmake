# Copies the files that docs/protocol.md lists to copy (the list after "<!-- files to copy -->")
# into an empty folder and compiles them there alone, warnings as errors: the set a device maker
# takes must need nothing else.
#
#   cmake -DDOCUMENT=docs/protocol.md -DSOURCE_DIR=. -DWORK_DIR=/tmp/x -DCC=cc
#         -P files_alone.cmake
cmake_minimum_required(VERSION 3.16)

file(READ "${DOCUMENT}" document)
string(FIND "${document}" "<!-- files to copy -->\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${DOCUMENT} has no line \"<!-- files to copy -->\"")
endif()
string(SUBSTRING "${document}" ${at} -1 rest)
# The list: the "- `path`" lines right after the marker, up to the first other line.
string(REGEX MATCH "^<!-- files to copy -->\n((- `[^`]+`\n)+)" list "${rest}")
if(NOT list)
  message(FATAL_ERROR "${DOCUMENT}: no list of \"- `path`\" lines after the marker")
endif()
string(REGEX MATCHALL "`[^`]+`" files "${CMAKE_MATCH_1}")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(sources "")
foreach(quoted ${files})
  string(REPLACE "`" "" file "${quoted}")
  get_filename_component(folder "${WORK_DIR}/${file}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY "${SOURCE_DIR}/${file}" DESTINATION "${folder}")
  if(file MATCHES "\\.c$")
    list(APPEND sources "${file}")
  endif()
endforeach()
if(NOT sources)
  message(FATAL_ERROR "${DOCUMENT}: the files to copy include no .c file")
endif()

foreach(source ${sources})
  execute_process(COMMAND ${CC} -std=c11 -Wall -Wextra -Wpedantic -Werror -I. -c ${source}
                          -o ${source}.o
                  WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE failed
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${source} does not compile with only the listed files:\n${out}")
  endif()
endforeach()
string(REPLACE ";" ", " shown "${files}")
message(STATUS "${shown} compile alone")
