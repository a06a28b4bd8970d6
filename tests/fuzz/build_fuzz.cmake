# Builds the libFuzzer targets with clang in a build tree of their own
# (FUZZ_BUILD, configured on first use; later runs build only what changed).
# The tests fuzz.<target> run them (run_fuzz.cmake).
#   cmake -DSOURCE=<source tree> -DFUZZ_BUILD=<tree> -DGENERATOR=<generator>
#         [-DLAUNCHER=<compiler launcher>] -P build_fuzz.cmake

include(${CMAKE_CURRENT_LIST_DIR}/../vlastni_strom.cmake)
tarvik_najit_clang()
tarvik_sestavit_strom(fuzz ${FUZZ_BUILD} NASTAVENI -DTARVIK_FUZZ=ON -DCMAKE_CXX_COMPILER=${clang}
  # Optimised, for many runs a second; line tables for the stack traces;
  # assertions on.
  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only")
