# The Windows check of the Qt-free core: runs the tests that build_wine.cmake
# built in WIN_BUILD under Wine, against Wine's registry, in a Wine prefix
# inside that tree and without any display (the tree's own ctest test,
# tests/wine/CMakeLists.txt). Fails when a test fails.
#   cmake -DWIN_BUILD=<tree> -P run_wine.cmake

foreach(program wine wineserver)
  find_program(nalezeny_${program} ${program})
  if(NOT nalezeny_${program})
    message(FATAL_ERROR "${program} is missing; scripts/setup.sh installs it")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${WIN_BUILD} --output-on-failure
  RESULT_VARIABLE rc)
# Let the prefix's server write the registry and end before the test ends.
set(ENV{WINEPREFIX} ${WIN_BUILD}/wineprefix)
execute_process(COMMAND ${nalezeny_wineserver} -w)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the core tests failed under Wine (exit ${rc})")
endif()
