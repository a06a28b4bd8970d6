# Builds the Windows check of the Qt-free core: the core and its tests with
# MinGW-w64 in a build tree of their own (WIN_BUILD, configured on first use;
# later runs build only what changed). The test wine.core runs them
# (run_wine.cmake).
#   cmake -DSOURCE=<source tree> -DWIN_BUILD=<tree> -DGENERATOR=<generator>
#         [-DLAUNCHER=<compiler launcher>] -P build_wine.cmake

include(${CMAKE_CURRENT_LIST_DIR}/../vlastni_strom.cmake)
tarvik_sestavit_strom(MinGW-w64 ${WIN_BUILD} NASTAVENI -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/mingw-w64.cmake
  -DCMAKE_BUILD_TYPE=Release -DTARVIK_JEN_JADRO=ON)
