# Runs one libFuzzer target: first once over each input that the script VELKE
# writes (when given: inputs too big to keep as seeds), then fuzzing for
# SEKUND seconds (TARVIK_FUZZ_SEKUND in the environment overrides it) from its
# seeds (SEEDS, in the source tree) and the inputs earlier runs found (kept in
# CORPUS). A crash, a hang, a sanitizer's finding or a broken check fails the
# test and leaves the input in FINDINGS.
#   cmake -DFUZZER=<executable> -DSEEDS=<folder> -DCORPUS=<folder>
#         -DFINDINGS=<folder> -DSEKUND=<seconds> [-DVELKE=<script>] -P run_fuzz.cmake

get_filename_component(nazev ${FUZZER} NAME)
get_filename_component(bin ${FUZZER} DIRECTORY)
get_filename_component(strom ${bin} DIRECTORY)
file(MAKE_DIRECTORY ${CORPUS} ${FINDINGS})
# The targets' scratch files, on the RAM disk where there is one: the store
# flushes every file it writes to the disk, which would make each run slow.
string(RANDOM LENGTH 8 nahoda)
set(docasne /dev/shm/tarvik-${nazev}-${nahoda})
execute_process(COMMAND ${CMAKE_COMMAND} -E make_directory ${docasne} RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  set(docasne ${strom}/tmp/${nazev})
  file(REMOVE_RECURSE ${docasne})
  file(MAKE_DIRECTORY ${docasne})
endif()
set(ENV{TMPDIR} ${docasne})

if(DEFINED ENV{TARVIK_FUZZ_SEKUND})
  set(SEKUND $ENV{TARVIK_FUZZ_SEKUND})
endif()
set(spolecne -artifact_prefix=${FINDINGS}/${nazev}- -rss_limit_mb=2048)
set(jak_znovu "run it again with: ${FUZZER} <input>")

if(VELKE)
  set(velke ${strom}/velke/${nazev})
  file(REMOVE_RECURSE ${velke})
  file(MAKE_DIRECTORY ${velke})
  execute_process(COMMAND sh ${VELKE} ${velke} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    file(REMOVE_RECURSE ${docasne})
    message(FATAL_ERROR "${VELKE} could not write the big inputs")
  endif()
  file(GLOB vstupy ${velke}/*)
  execute_process(COMMAND ${FUZZER} ${spolecne} -timeout=60 ${vstupy} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    file(REMOVE_RECURSE ${docasne})
    message(FATAL_ERROR "${nazev} failed on a big input of ${velke}; ${jak_znovu}")
  endif()
endif()

execute_process(
  COMMAND ${FUZZER} ${spolecne} -timeout=10 -max_total_time=${SEKUND} -print_final_stats=1
    ${CORPUS} ${SEEDS}
  RESULT_VARIABLE rc)
file(REMOVE_RECURSE ${docasne})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${nazev} found a fault; the input is kept in ${FINDINGS} "
    "(see \"Test unit written to\" above); ${jak_znovu}")
endif()
