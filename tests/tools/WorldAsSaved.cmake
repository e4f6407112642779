# Loading a generated world and saving it writes, byte for byte, the world pyxworld writes after applying the
# save's order once (--saves 1: retired persons dropped, each nation's people reordered by the game's quicksort);
# a second load and save matches --saves 2. Everything else of a generated world is already in saved form.
include(${CMAKE_CURRENT_LIST_DIR}/WorldCommon.cmake)
file(REMOVE_RECURSE ${WORK})
set(Options --people 1200 --seed 7 --languages 4 --default-language 2 --quiet)
run_tool(${PYXWORLD} ${WORK}/generated ${Options})
run_tool(${PYXWORLD} ${WORK}/expected1 ${Options} --saves 1)
run_tool(${PYXWORLD} ${WORK}/expected2 ${Options} --saves 2)
run_tool(${PYXROUNDTRIP} ${WORK}/generated ${WORK}/saved1)
expect_same_files(${WORK}/expected1 ${WORK}/saved1)
run_tool(${PYXROUNDTRIP} ${WORK}/saved1 ${WORK}/saved2)
expect_same_files(${WORK}/expected2 ${WORK}/saved2)
file(REMOVE_RECURSE ${WORK})
