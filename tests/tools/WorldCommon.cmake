# Helpers of the tool tests: run a command and stop the test with its output when it fails.
function(run_tool)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors)
    if(NOT Result EQUAL 0)
        string(REPLACE ";" " " Command "${ARGN}")
        message(FATAL_ERROR "${Command}\nexited with ${Result}\n${Output}${Errors}")
    endif()
endfunction()

set(DATA_FILES server_db.dat people_db.dat lang_db.dat pl_hist_index.dat pl_hist_id.dat pl_hist_dt.dat)

function(expect_same_files Expected Actual)
    foreach(File ${DATA_FILES})
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${Expected}/${File} ${Actual}/${File}
                        RESULT_VARIABLE Different)
        if(NOT Different EQUAL 0)
            message(FATAL_ERROR "${Actual}/${File} differs from ${Expected}/${File}")
        endif()
    endforeach()
endfunction()
