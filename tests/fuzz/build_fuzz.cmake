# Builds the libFuzzer targets with clang in a build tree of their own
# (FUZZ_BUILD, configured on first use; later runs build only what changed).
# The tests fuzz.<target> run them (run_fuzz.cmake).
#   cmake -DSOURCE=<source tree> -DFUZZ_BUILD=<tree> -DGENERATOR=<generator>
#         [-DLAUNCHER=<compiler launcher>] -P build_fuzz.cmake

find_program(clang NAMES clang++-14 clang++)
if(NOT clang)
  message(FATAL_ERROR "clang++ is missing; scripts/setup.sh installs it")
endif()
set(nastaveni -DTARVIK_FUZZ=ON -DCMAKE_CXX_COMPILER=${clang}
  # Optimised, for many runs a second; line tables for the stack traces;
  # assertions on.
  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only")
if(LAUNCHER)
  list(APPEND nastaveni -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${FUZZ_BUILD} -G ${GENERATOR} ${nastaveni}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring the fuzz build failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${FUZZ_BUILD} -j 2 RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzz build failed")
endif()
