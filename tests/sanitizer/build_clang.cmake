# Builds the clang tree of the checks under sanitizers and of the fuzz
# targets (CLANG_BUILD, configured on first use; later runs build only what
# changed): the core tests, the window tests and the batch tool with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the libFuzzer targets,
# which read with the same core. The tests sanitizer.native
# (run_sanitizer.cmake) and fuzz.<target> (tests/fuzz/run_fuzz.cmake) run
# what it built.
#   cmake -DSOURCE=<source tree> -DCLANG_BUILD=<tree> -DGENERATOR=<generator>
#         [-DLAUNCHER=<compiler launcher>] -P build_clang.cmake

include(${CMAKE_CURRENT_LIST_DIR}/../vlastni_strom.cmake)
tarvik_najit_clang()
tarvik_sestavit_strom("sanitizers' and fuzz targets'" ${CLANG_BUILD}
  NASTAVENI -DTARVIK_SANITIZERY=ON -DTARVIK_FUZZ=ON -DTARVIK_BENCH=OFF -DCMAKE_CXX_COMPILER=${clang}
    # Unoptimised, which halves the build against -O1; the core and the fuzz
    # targets are optimised all the same (-O1, for many runs a second). Line
    # tables for the stack traces; assertions on.
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -gline-tables-only"
  # Only what runs: no window program, no screenshots, no benchmarks.
  CILE tarvik_core_tests tarvik_okna_tests tarvik-cli tarvik_fuzz)
