# Renumbers the sample program with the built batch tool, into a copy, and
# checks the exit status, the rewritten file and the statistics on stderr.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
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
execute_process(COMMAND ${CLI} introduce ${WORK}/${name} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "introduce into a numbered program should be refused (exit 1), got ${rc}")
endif()
