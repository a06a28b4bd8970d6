# The native tests under AddressSanitizer and UndefinedBehaviorSanitizer:
# builds the core tests, the window tests and the batch tool with clang in a
# build tree of their own (SAN_BUILD, configured on first use; later runs
# build only what changed) and runs them, the windows offscreen. Fails when
# the build fails, a test fails or a sanitizer reports anything (a leak
# included).
#   cmake -DSOURCE=<source tree> -DSAN_BUILD=<tree> -DGENERATOR=<generator>
#         [-DLAUNCHER=<compiler launcher>] -P run_sanitizer.cmake

include(${CMAKE_CURRENT_LIST_DIR}/../vlastni_strom.cmake)
tarvik_najit_clang()
tarvik_sestavit_strom(sanitizer ${SAN_BUILD}
  NASTAVENI -DTARVIK_SANITIZERY=ON -DTARVIK_BENCH=OFF -DCMAKE_CXX_COMPILER=${clang}
    # Unoptimised, which halves the build against -O1 and keeps the tests
    # quick enough; line tables for the stack traces; assertions on.
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -gline-tables-only"
  # Only what runs here: no window program, no screenshots, no benchmarks.
  CILE tarvik_core_tests tarvik_okna_tests tarvik-cli)

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
