# Renumbers the sample program with the built batch tool, into a copy, and
# checks the exit status, the rewritten file and the statistics on stderr.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# A settings store of the test's own, never the user's.
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)
file(COPY ${INPUT} DESTINATION ${WORK})
get_filename_component(name ${INPUT} NAME)
execute_process(COMMAND ${CLI} renumber --first 10 --increment 10 -i ${WORK}/${name}
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tarvik-cli renumber exited with ${rc}: ${err}")
endif()
if(NOT err MATCHES "Počet NC bloků: 13\\.")
  message(FATAL_ERROR "unexpected statistics: ${err}")
endif()
file(READ ${WORK}/${name} out HEX)
# "N130 M30" followed by CR LF
string(FIND "${out}" "4e313330204d33300d0a" at)
if(at EQUAL -1)
  message(FATAL_ERROR "renumbered program lacks N130 M30: ${out}")
endif()
# Standard input through a pipe, as "-" and as /dev/stdin; standard output
# as "-" and by its path.
set(vstupy - /dev/stdin)
set(vystupy - /dev/stdout)
foreach(vstup vystup IN ZIP_LISTS vstupy vystupy)
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${WORK}/${name}
    COMMAND ${CLI} renumber --first 10 --increment 10 -o ${vystup} ${vstup}
    RESULTS_VARIABLE rcs OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # (the output variable loses the CR of CR LF)
  string(REGEX MATCH "N130 M30\r?\n" shoda "${out}")
  if(NOT rcs STREQUAL "0;0" OR NOT shoda)
    message(FATAL_ERROR "renumber from ${vstup} to ${vystup} failed (${rcs}): ${err}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${WORK}/${name} COMMAND ${CLI} count -
  RESULTS_VARIABLE rcs OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT out STREQUAL "13\n")
  message(FATAL_ERROR "count - did not read standard input (${rcs}): ${err}${out}")
endif()

execute_process(COMMAND ${CLI} introduce ${WORK}/${name} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "introduce into a numbered program should be refused (exit 1), got ${rc}")
endif()

# Peck drilling on a mill, with the shipped file types: the Q of a G73 cycle
# call names no block (here one that moves), whatever type reads it; the
# profile of a lathe's G71 follows its blocks in the generic Fanuc type.
file(WRITE ${WORK}/vrtani.nc "%\r\nO1000\r\nN10 G90 G54 G0 X0 Y0\r\nN50 G73 Z-30. R2. Q500 F250\r\nN60 G80\r\nN500 M30\r\n%\r\n")
file(WRITE ${WORK}/soustruh.nc "%\r\nN10 G71 U1. R0.5\r\nN20 G71 P30 Q40 U0.4 W0.1\r\nN30 G0 X20.\r\nN40 G1 Z-20.\r\nN50 G70 P30 Q40\r\nN60 M30\r\n%\r\n")
foreach(typ "ISO frézování" "Fanuc" "ISO soustružení" "ISO soustružení, G-kódy C")
  execute_process(COMMAND ${CLI} renumber --first 10 --increment 10 -t ${typ} ${WORK}/vrtani.nc
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${out}" "N20 G73 Z-30. R2. Q500 F250" at)
  if(NOT rc EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "renumber -t ${typ} touched the peck depth (exit ${rc}): ${err}${out}")
  endif()
endforeach()
execute_process(COMMAND ${CLI} renumber --first 10 --increment 10 -t Fanuc ${WORK}/soustruh.nc
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX MATCH "N20 G71 P30 Q40 U0.4 W0.1\r?\nN30 G0 X20.\r?\nN40 G1 Z-20.\r?\nN50 G70 P30 Q40" shoda "${out}")
if(NOT rc EQUAL 0 OR NOT shoda)
  message(FATAL_ERROR "renumber -t Fanuc did not keep the profile (exit ${rc}): ${err}${out}")
endif()
execute_process(COMMAND ${CLI} renumber --first 100 --increment 100 -t Fanuc ${WORK}/soustruh.nc
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX MATCH "N200 G71 P300 Q400 U0.4 W0.1\r?\n.*N500 G70 P300 Q400" shoda "${out}")
if(NOT rc EQUAL 0 OR NOT shoda OR NOT err MATCHES "Aktualizováno odkazů na čísla bloků: 4\\.")
  message(FATAL_ERROR "renumber -t Fanuc did not update the profile (exit ${rc}): ${err}${out}")
endif()
# --references none for one run: the profile stays, nothing is updated, and
# the words another control reads as references are told with their lines.
execute_process(COMMAND ${CLI} renumber --first 100 --increment 100 -t Fanuc --references none ${WORK}/soustruh.nc
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "N200 G71 P30 Q40" at)
if(NOT rc EQUAL 0 OR at EQUAL -1 OR err MATCHES "Aktualizováno" OR NOT err MATCHES "Řádek 3 \\(G71 P30, G71 Q40\\)")
  message(FATAL_ERROR "renumber --references none (exit ${rc}): ${err}${out}")
endif()

# The numbering settings and the file type list the window saved.
file(WRITE ${WORK}/config/Orvendal/Tarvik.reg
  "Windows Registry Editor Version 5.00\r\n\r\n"
  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
  "\"PrvniBlok\"=dword:00000064\r\n"
  "\"Prirustek\"=dword:00000001\r\n\r\n"
  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
  "\"0\"=\"Uložený\t.nc\t:\tN\t%\tM30\t(\t\"\r\n")
file(READ ${WORK}/config/Orvendal/Tarvik.reg store_before HEX)
execute_process(COMMAND ${CLI} renumber ${WORK}/${name} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX MATCH "N100 G21 G40 G49 G80 G90\r?\nN101 T1 M6" shoda "${out}")
if(NOT rc EQUAL 0 OR NOT shoda)
  message(FATAL_ERROR "renumber did not follow the stored settings (exit ${rc}): ${err}${out}")
endif()
execute_process(COMMAND ${CLI} types RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT out STREQUAL "Uložený\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n")
  message(FATAL_ERROR "types did not list the stored file types: ${out}")
endif()
file(READ ${WORK}/config/Orvendal/Tarvik.reg store_after HEX)
if(NOT store_after STREQUAL store_before)
  message(FATAL_ERROR "the batch tool changed the settings store")
endif()
