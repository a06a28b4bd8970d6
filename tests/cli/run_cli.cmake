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
if(NOT out STREQUAL "Uložený\t.nc\t:\tN\t%\tM30\t(\n")
  message(FATAL_ERROR "types did not list the stored file types: ${out}")
endif()
file(READ ${WORK}/config/Orvendal/Tarvik.reg store_after HEX)
if(NOT store_after STREQUAL store_before)
  message(FATAL_ERROR "the batch tool changed the settings store")
endif()
