# tarnwick_generate_map(<target>)
# Writes <program>.map beside the program, in the map format the debug unit reads at start-up, in the same
# build step as the link, so that the two files' times never lie days apart. The program's own sources are
# compiled with line tables (-g1) so that its units get line numbers; see tools/mapgen/README.md.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(TARNWICK_MAPGEN_TOOL ${CMAKE_CURRENT_LIST_DIR}/mapgen.py)

function(tarnwick_generate_map target)
  if(NOT CMAKE_NM OR NOT CMAKE_OBJDUMP)
    message(FATAL_ERROR "tarnwick_generate_map needs the toolchain's nm and objdump")
  endif()
  set(linker_map ${CMAKE_CURRENT_BINARY_DIR}/${target}.ld.map)
  target_compile_options(${target} PRIVATE -g1)
  target_link_options(${target} PRIVATE "LINKER:-Map=${linker_map}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${TARNWICK_MAPGEN_TOOL}
            --executable $<TARGET_FILE:${target}>
            --linker-map ${linker_map}
            --nm ${CMAKE_NM}
            --objdump ${CMAKE_OBJDUMP}
            --output $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.map
    COMMENT "Writing the map file of ${target}"
    VERBATIM)
endfunction()
