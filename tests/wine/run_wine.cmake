# The Windows check of the Qt-free core: builds the core and its tests with
# MinGW-w64 in a build tree of its own (WIN_BUILD, configured on first use),
# and runs them under Wine against Wine's registry, in a Wine prefix inside
# that tree and without any display. Fails when the build or a test fails.
#   cmake -DSOURCE=<source tree> -DWIN_BUILD=<tree> -DGENERATOR=<generator> -P run_wine.cmake

foreach(program x86_64-w64-mingw32-g++-posix wine wineserver)
  find_program(nalezeny_${program} ${program})
  if(NOT nalezeny_${program})
    message(FATAL_ERROR "${program} is missing; scripts/setup.sh installs it")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/../vlastni_strom.cmake)
tarvik_sestavit_strom(MinGW-w64 ${WIN_BUILD} NASTAVENI -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/mingw-w64.cmake
  -DCMAKE_BUILD_TYPE=Release -DTARVIK_JEN_JADRO=ON)

set(ENV{WINEPREFIX} ${WIN_BUILD}/wineprefix)
set(ENV{WINEDEBUG} -all)
# A console program needs neither Mono nor Gecko, nor a display: without
# these, the first start of a fresh prefix would offer to install them. No
# menu entries either, so that nothing is written outside the prefix.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=;winemenubuilder.exe=d")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})

# Tests that hold only where files without a byte-order mark (or with a UTF-8
# mark before bytes that are not UTF-8) are read and written back as UTF-8 or
# Windows-1250, system messages are the C library's (on Windows the ANSI
# code page decides, and the messages are the system's) and paths are told
# with "/".
set(jen_posix
  Kodovani.KazdyBajtSeVratiBezeZmeny
  Kodovani.PlatneUtf8SeVratiBezeZmeny
  Kodovani.ZnackyUrcujiKodovani
  Kodovani.ZnakMimoKodovaniNikdyNeniOtaznik
  Kodovani.ZnackaUtf8PredNeplatnymiBajty
  Kodovani.ZacatekJakoZnackaSeCteStejne
  SouborTypu.ZnackyAKonceRadku
  Davka.KodovaniZustane
  Davka.ChybyPouzitiASouboru
  Davka.Utf8PodleCelehoSouboru
  Davka.RidiciZnakyEscapovane
  Slozky.ProgramyVeSlozce
  Slozky.ZapisNaMisteADoSlozky
  Slozky.SelhaniJednohoProgramu)
list(JOIN jen_posix ":" vynechane)

execute_process(
  COMMAND ${nalezeny_wine} ${WIN_BUILD}/bin/tarvik_core_tests.exe --gtest_filter=-${vynechane}
  WORKING_DIRECTORY ${WIN_BUILD}
  RESULT_VARIABLE rc)
# Let the prefix's server write the registry and end before the test ends.
execute_process(COMMAND ${nalezeny_wineserver} -w)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the core tests failed under Wine (exit ${rc})")
endif()
