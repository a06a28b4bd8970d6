# What the checks that build a tree of their own share (wine/build_wine.cmake,
# sanitizer/build_clang.cmake): clang from Debian's
# packages, and a tree configured on first use and built where it changed.
# The script that includes this has SOURCE and GENERATOR, and may have
# LAUNCHER (a compiler launcher).

# clang++ in the variable clang.
macro(tarvik_najit_clang)
  find_program(clang NAMES clang++-14 clang++)
  if(NOT clang)
    message(FATAL_ERROR "clang++ is missing; scripts/setup.sh installs it")
  endif()
endmacro()

# tarvik_sestavit_strom(<what> <tree> [NASTAVENI <cache options>...] [CILE <targets>...])
# Configures the tree from SOURCE with the options, then builds the targets
# (all of them when none is named); <what> names the build when it fails.
function(tarvik_sestavit_strom co strom)
  cmake_parse_arguments(a "" "" "NASTAVENI;CILE" ${ARGN})
  set(nastaveni ${a_NASTAVENI})
  if(LAUNCHER)
    list(APPEND nastaveni -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${strom} -G ${GENERATOR} ${nastaveni}
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring the ${co} build failed")
  endif()
  set(cile "")
  if(a_CILE)
    set(cile --target ${a_CILE})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${strom} -j 2 ${cile} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the ${co} build failed")
  endif()
endfunction()
