# Runs one golden-file check; see lagrull_golden_test.
# The command runs in a fresh work directory with a private HOME and data
# directory so that no user's settings leak into the output. "@DATA@" in an
# argument stands for tests/data, "@WORK@" for the work directory. The
# reference holds standard output, then "stderr:" and standard error when
# there is any, then "exit: N"; the work, data and program directories appear
# there as @WORK@, @DATA@ and @PROG@. SETUP, when given, runs first.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/home")
get_filename_component(datadir "${REFERENCE}" DIRECTORY)
function(expand_args out)
  set(expanded)
  foreach(a IN LISTS ARGN)
    string(REPLACE "@DATA@" "${datadir}" a "${a}")
    string(REPLACE "@WORK@" "${WORKDIR}" a "${a}")
    list(APPEND expanded "${a}")
  endforeach()
  set(${out} "${expanded}" PARENT_SCOPE)
endfunction()
expand_args(args ${ARGS})
set(ENV{HOME} "${WORKDIR}/home")
set(ENV{XDG_DATA_HOME} "${WORKDIR}/home/data")
set(ENV{XDG_CONFIG_HOME} "${WORKDIR}/home/config")
if(SETUP)
  expand_args(setup_args ${SETUP})
  execute_process(COMMAND "${CLI}" ${setup_args}
    WORKING_DIRECTORY "${WORKDIR}"
    OUTPUT_VARIABLE setup_out ERROR_VARIABLE setup_err RESULT_VARIABLE setup_rc)
  if(NOT setup_rc EQUAL 0)
    message(FATAL_ERROR "setup failed (${setup_rc}):\n${setup_out}${setup_err}")
  endif()
endif()
execute_process(COMMAND "${CLI}" ${args}
  WORKING_DIRECTORY "${WORKDIR}"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT err STREQUAL "")
  string(APPEND out "stderr:\n${err}")
endif()
get_filename_component(progdir "${CLI}" DIRECTORY)
string(REPLACE "${WORKDIR}" "@WORK@" out "${out}")
string(REPLACE "${datadir}" "@DATA@" out "${out}")
string(REPLACE "${progdir}" "@PROG@" out "${out}")
string(APPEND out "exit: ${rc}\n")
if(DEFINED ENV{LAGRULL_REGENERATE} AND "$ENV{LAGRULL_REGENERATE}" STREQUAL "1")
  file(WRITE "${REFERENCE}" "${out}")
  message(STATUS "wrote ${REFERENCE}")
  return()
endif()
if(NOT EXISTS "${REFERENCE}")
  message(FATAL_ERROR "missing reference ${REFERENCE}; run with LAGRULL_REGENERATE=1")
endif()
file(READ "${REFERENCE}" expected)
if(NOT out STREQUAL expected)
  file(WRITE "${WORKDIR}/actual.txt" "${out}")
  message(FATAL_ERROR "output differs from ${REFERENCE}\nactual in ${WORKDIR}/actual.txt\nstderr:\n${err}\n--- actual ---\n${out}")
endif()
