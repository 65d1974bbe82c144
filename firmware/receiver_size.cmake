# Measures the reference receiver alone on an AVR part, in each of its modes, and fails when the
# streaming mode outgrows what the smallest parts can spare (32 bytes of RAM, 1 KB of flash).
#
#   cmake -DAVR_GCC=avr-gcc -DAVR_SIZE=avr-size -DMCU=attiny85 -DSOURCE_DIR=. -DWORK_DIR=/tmp/x
#         -P receiver_size.cmake
#
# Flash: the receiver's object linked on its own (a relocatable link with libgcc for the
# arithmetic helpers it calls), keeping only what a device calling that mode's functions keeps.
# RAM: the receiver state a device declares (the receiver has no static data of its own).
cmake_minimum_required(VERSION 3.16)

file(MAKE_DIRECTORY ${WORK_DIR})
set(flags -mmcu=${MCU} -Os -std=c11 -ffunction-sections -fdata-sections -I${SOURCE_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${ARGN}\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# text, data and bss of an object, from avr-size's Berkeley format.
function(sizes object prefix)
  run(${AVR_SIZE} -B ${object})
  string(REGEX MATCH "\n *([0-9]+)[ \t]+([0-9]+)[ \t]+([0-9]+)" row "${run_output}")
  set(${prefix}_text ${CMAKE_MATCH_1} PARENT_SCOPE)
  set(${prefix}_data ${CMAKE_MATCH_2} PARENT_SCOPE)
  set(${prefix}_bss ${CMAKE_MATCH_3} PARENT_SCOPE)
endfunction()

run(${AVR_GCC} ${flags} -c ${SOURCE_DIR}/receiver/optical_receiver.c -o ${WORK_DIR}/receiver.o)

set(buffered_type orx_receiver)
set(buffered_calls orx_init orx_feed_swap orx_poll orx_values orx_bytes orx_length)
set(streaming_type orx_stream)
set(streaming_calls orx_stream_init orx_stream_swap orx_stream_poll orx_stream_byte
                    orx_stream_length)
set(report "Receiver alone on ${MCU} (avr-gcc -Os, unused functions dropped):")
foreach(mode buffered streaming)
  set(keep "")
  foreach(call ${${mode}_calls})
    list(APPEND keep -Wl,-u,${call})
  endforeach()
  run(${AVR_GCC} -mmcu=${MCU} -nostdlib -r -Wl,--gc-sections ${keep} ${WORK_DIR}/receiver.o -lgcc
      -o ${WORK_DIR}/${mode}.o)
  sizes(${WORK_DIR}/${mode}.o code)
  file(WRITE ${WORK_DIR}/${mode}_state.c
       "#include \"receiver/optical_receiver.h\"\n${${mode}_type} state;\n")
  run(${AVR_GCC} ${flags} -fno-common -c ${WORK_DIR}/${mode}_state.c -o ${WORK_DIR}/${mode}_state.o)
  sizes(${WORK_DIR}/${mode}_state.o state)
  math(EXPR flash "${code_text} + ${code_data}")
  math(EXPR ram "${state_bss} + ${code_data} + ${code_bss}")
  string(APPEND report "\n  ${mode}: ${flash} bytes of flash, ${ram} bytes of RAM (${${mode}_type})")
  set(${mode}_flash ${flash})
  set(${mode}_ram ${ram})
endforeach()
message(STATUS "${report}")
if(streaming_ram GREATER 32 OR streaming_flash GREATER 1024)
  message(FATAL_ERROR "the streaming mode needs more than 32 bytes of RAM or 1 KB of flash")
endif()
