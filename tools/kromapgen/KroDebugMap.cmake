# Every program of ours carries its own debug map, so that a crash report can name unit, function and line without
# any file beside the program: right after the link, kromapgen reads the program's symbols and DWARF line tables and
# the map is embedded as a section of its own (kromaplink.sh).

# Embeds the debug map in one executable target after each of its links. Programs of a project that includes this one
# with add_subdirectory call it for their own targets.
function(kro_embed_debug_map TARGET)
    get_target_property(GENERATOR_DIR kromapgen BINARY_DIR)
    set_property(TARGET ${TARGET} PROPERTY CXX_LINKER_LAUNCHER
                 /bin/sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kromaplink.sh ${GENERATOR_DIR}/kromapgen
                 ${CMAKE_OBJCOPY})
    add_dependencies(${TARGET} kromapgen)
    # A new generator relinks every program, so no program keeps a map in an older form.
    set_property(TARGET ${TARGET} APPEND PROPERTY LINK_DEPENDS ${GENERATOR_DIR}/kromapgen
                                                               ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kromaplink.sh)
endfunction()

# Embeds the debug map in every executable defined in DIR and the directories below it (kromapgen aside: it makes
# the maps).
function(kro_embed_debug_maps DIR)
    get_property(TARGETS DIRECTORY ${DIR} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(NAME IN LISTS TARGETS)
        get_target_property(TYPE ${NAME} TYPE)
        if(TYPE STREQUAL "EXECUTABLE" AND NOT NAME STREQUAL "kromapgen")
            kro_embed_debug_map(${NAME})
        endif()
    endforeach()
    get_property(SUBDIRS DIRECTORY ${DIR} PROPERTY SUBDIRECTORIES)
    foreach(SUBDIR IN LISTS SUBDIRS)
        kro_embed_debug_maps(${SUBDIR})
    endforeach()
endfunction()
