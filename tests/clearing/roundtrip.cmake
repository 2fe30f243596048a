# Loads INPUT with "lagrul-cli bbs-fil --skriv" and checks that the file
# written has exactly the bytes of INPUT.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/home")
set(ENV{HOME} "${WORKDIR}/home")
set(ENV{XDG_DATA_HOME} "${WORKDIR}/home/data")
set(ENV{XDG_CONFIG_HOME} "${WORKDIR}/home/config")
execute_process(COMMAND "${CLI}" bbs-fil "${INPUT}" --skriv "${WORKDIR}/out.bbs"
  WORKING_DIRECTORY "${WORKDIR}" RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "bbs-fil failed (${rc}): ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${INPUT}" "${WORKDIR}/out.bbs"
  RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${WORKDIR}/out.bbs differs from ${INPUT}")
endif()
