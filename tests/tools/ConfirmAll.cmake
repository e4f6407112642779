# A Confirm with no edits changes nothing: pyxconfirmall, which confirms every entity of every built tab in the
# editor's main window before saving through Save Data, writes exactly the bytes pyxroundtrip writes, for worlds
# of every version and with both load options off.
include(${CMAKE_CURRENT_LIST_DIR}/WorldCommon.cmake)
file(REMOVE_RECURSE ${WORK})

function(expect_tab_lines Output Errors)
    string(REGEX MATCHALL "ts[A-Za-z]+ [0-9]+" Lines "${Output}")
    if(NOT Lines)
        message(FATAL_ERROR "pyxconfirmall printed no tab counts:\n${Output}")
    endif()
    # The tabs whose frames are built, each with entities confirmed.
    foreach(Tab tsPeople tsClubs tsNation tsCompetition tsStadia tsCities tsContinents tsAwards tsWeather tsInjuries
                tsLanguages tsMedia tsStages)
        if(NOT Output MATCHES "(^|\n)${Tab} [1-9][0-9]*\n")
            message(FATAL_ERROR "pyxconfirmall confirmed no entity of ${Tab}:\n${Output}")
        endif()
    endforeach()
    # stdout holds the tab lines only; a club's squads are confirmed with it, one page each, counted on stderr.
    string(REGEX REPLACE "ts[A-Za-z]+ [0-9]+\n" "" Rest "${Output}")
    if(NOT Rest STREQUAL "")
        message(FATAL_ERROR "pyxconfirmall printed more than its tab lines:\n${Output}")
    endif()
    string(REGEX MATCH "(^|\n)pyxconfirmall: squad pages ([0-9]+)\n" SquadLine "${Errors}")
    if(NOT SquadLine OR CMAKE_MATCH_2 LESS_EQUAL 0)
        message(FATAL_ERROR "pyxconfirmall confirmed no squad page:\n${Output}${Errors}")
    endif()
endfunction()

foreach(Version 112 145 147)
    run_tool(${PYXWORLD} ${WORK}/in${Version} --people 1500 --version ${Version} --languages 4 --seed ${Version}
             --quiet)
    run_tool(${PYXROUNDTRIP} ${WORK}/in${Version} ${WORK}/roundtrip${Version})
    execute_process(COMMAND ${PYXCONFIRMALL} ${WORK}/in${Version} ${WORK}/confirmed${Version}
                    RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors)
    if(NOT Result EQUAL 0)
        message(FATAL_ERROR "pyxconfirmall exited with ${Result}\n${Output}${Errors}")
    endif()
    expect_tab_lines("${Output}" "${Errors}")
    expect_same_files(${WORK}/roundtrip${Version} ${WORK}/confirmed${Version})
endforeach()

# Both options off: the save writes server_db.dat and people_db.dat only; the other files stay as copied.
run_tool(${PYXROUNDTRIP} --no-languages --no-histories ${WORK}/in147 ${WORK}/roundtrip-off)
execute_process(COMMAND ${PYXCONFIRMALL} --no-languages --no-histories ${WORK}/in147 ${WORK}/confirmed-off
                RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors)
if(NOT Result EQUAL 0)
    message(FATAL_ERROR "pyxconfirmall --no-languages --no-histories exited with ${Result}\n${Output}${Errors}")
endif()
foreach(File server_db.dat people_db.dat)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/roundtrip-off/${File}
                            ${WORK}/confirmed-off/${File} RESULT_VARIABLE Different)
    if(NOT Different EQUAL 0)
        message(FATAL_ERROR "${File} differs with both load options off")
    endif()
endforeach()
foreach(File lang_db.dat pl_hist_index.dat pl_hist_id.dat pl_hist_dt.dat)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/in147/${File} ${WORK}/confirmed-off/${File}
                    RESULT_VARIABLE Different)
    if(NOT Different EQUAL 0)
        message(FATAL_ERROR "${File} changed although it was not loaded")
    endif()
endforeach()

# A folder that does not load: the exception's class and message, and exit code 1.
file(MAKE_DIRECTORY ${WORK}/broken)
file(WRITE ${WORK}/broken/server_db.dat "not a data file")
execute_process(COMMAND ${PYXCONFIRMALL} ${WORK}/broken ${WORK}/broken-out RESULT_VARIABLE Result
                OUTPUT_VARIABLE Output ERROR_VARIABLE Errors)
if(NOT Result EQUAL 1 OR NOT Errors MATCHES "^EFileCorruptError: ")
    message(FATAL_ERROR "pyxconfirmall on a broken folder exited with ${Result}:\n${Output}${Errors}")
endif()
file(REMOVE_RECURSE ${WORK})
