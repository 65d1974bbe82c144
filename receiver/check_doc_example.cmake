# Checks that a document shows a source file exactly: the fenced block that follows the line
# "<!-- example: FILE_NAME -->" must hold the file's text, byte for byte.
#
#   cmake -DDOCUMENT=docs/protocol.md -DFILE=receiver/example_device.c -DNAME=receiver/example_device.c
#         -P check_doc_example.cmake
cmake_minimum_required(VERSION 3.16)

file(READ "${DOCUMENT}" document)
file(READ "${FILE}" expected)

set(marker "<!-- example: ${NAME} -->\n")
string(FIND "${document}" "${marker}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${DOCUMENT} has no line \"<!-- example: ${NAME} -->\"")
endif()
string(LENGTH "${marker}" marker_length)
math(EXPR at "${at} + ${marker_length}")
string(SUBSTRING "${document}" ${at} -1 rest)
# The fence line right after the marker, then the block up to the closing fence.
string(REGEX MATCH "^```[a-z]*\n" fence "${rest}")
if(NOT fence)
  message(FATAL_ERROR "${DOCUMENT}: no fenced block right after the marker for ${NAME}")
endif()
string(LENGTH "${fence}" fence_length)
string(SUBSTRING "${rest}" ${fence_length} -1 rest)
string(FIND "${rest}" "\n```" end)
if(end EQUAL -1)
  message(FATAL_ERROR "${DOCUMENT}: the block for ${NAME} is never closed")
endif()
math(EXPR end "${end} + 1")
string(SUBSTRING "${rest}" 0 ${end} shown)
if(NOT shown STREQUAL expected)
  message(FATAL_ERROR "${DOCUMENT} does not show ${NAME} as it is; copy the file into the block")
endif()
message(STATUS "${DOCUMENT} shows ${NAME} as it is")
