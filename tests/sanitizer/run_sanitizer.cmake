# The native tests under AddressSanitizer and UndefinedBehaviorSanitizer: runs
# the core tests, the window tests (offscreen) and the batch tool that
# build_clang.cmake built in the clang tree CLANG_BUILD. Fails when a test
# fails or a sanitizer reports anything (a leak included).
#   cmake -DSOURCE=<source tree> -DCLANG_BUILD=<tree> -P run_sanitizer.cmake

set(SAN_BUILD ${CLANG_BUILD})
# The first finding ends the program with a failure; UBSan's checks do not
# recover (-fno-sanitize-recover), so halt_on_error holds for them too.
set(ENV{ASAN_OPTIONS} "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1")
set(ENV{UBSAN_OPTIONS} "halt_on_error=1:print_stacktrace=1")
set(ENV{QT_QPA_PLATFORM} offscreen)

set(selhaly "")
foreach(testy tarvik_core_tests tarvik_okna_tests)
  message(STATUS "${testy}")
  execute_process(COMMAND ${SAN_BUILD}/bin/${testy} --gtest_brief=1
    WORKING_DIRECTORY ${SAN_BUILD} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(APPEND selhaly "${testy} (exit ${rc})")
  endif()
endforeach()

# The batch tool as a user runs it.
message(STATUS "tarvik-cli")
execute_process(
  COMMAND ${CMAKE_COMMAND}
    -DCLI=${SAN_BUILD}/bin/tarvik-cli
    -DINPUT=${SOURCE}/tests/data/vzor.nc
    -DWORK=${SAN_BUILD}/cli_work
    -P ${SOURCE}/tests/cli/run_cli.cmake
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  list(APPEND selhaly "tarvik-cli (exit ${rc})")
endif()

if(selhaly)
  list(JOIN selhaly ", " selhaly)
  message(FATAL_ERROR "failed under the sanitizers: ${selhaly}")
endif()
