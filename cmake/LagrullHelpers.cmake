# The project's own CMake functions: libraries (logic and windows), tests
# (GoogleTest, golden files through lagrul-cli, Qt tests offscreen) and the
# help pages copied beside a program.

# lagrull_library(NAME SOURCES... DEPENDS libs... PRIVATE_DEPENDS libs...)
# A logic library: plain C++, never Qt. Its headers are reached from src/ by
# their folder, "subsystem/header.h" or "subsystem/part/header.h".
function(lagrull_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC lagrull_options ${ARG_DEPENDS}
                                PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# lagrull_ui_library(NAME SOURCES... DEPENDS libs...): a library of windows
# (Qt Widgets, moc and uic on), kept in a ui/ folder.
function(lagrull_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC lagrull_options Qt6::Widgets ${ARG_DEPENDS}
                                PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# lagrull_test(NAME SOURCES... DEPENDS libs...): one GoogleTest executable,
# each of its tests registered with CTest.
include(GoogleTest)
function(lagrull_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE lagrull_options lagrull_testsupport
                                        ${ARG_DEPENDS} GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "LAGRULL_TESTDATA=set:${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# lagrull_golden_test(NAME REFERENCE file [SETUP args] [SETUP_FILE file]
#                     [OUTPUT file FILE_REFERENCE file] ARGS args...): runs
# lagrul-cli with ARGS and compares its standard output with the reference
# file under tests/data/. SETUP, when given, is a lagrul-cli command run first
# in the same work directory (e.g. making the demo register); SETUP_FILE
# (under tests/data/) holds more such commands, one argument line each, run
# after it. Each must succeed; their output is not compared. OUTPUT names a
# file the command writes in its work directory; it is compared byte for byte
# with FILE_REFERENCE. With LAGRULL_REGENERATE=1 in the environment the
# references are written anew instead, for review in the diff.
function(lagrull_golden_test name)
  cmake_parse_arguments(ARG "" "REFERENCE;SETUP_FILE;OUTPUT;FILE_REFERENCE" "ARGS;SETUP" ${ARGN})
  set(extra)
  if(ARG_SETUP_FILE)
    list(APPEND extra -DSETUP_FILE=${PROJECT_SOURCE_DIR}/tests/data/${ARG_SETUP_FILE})
  endif()
  if(ARG_OUTPUT)
    list(APPEND extra -DOUTPUT=${ARG_OUTPUT}
                      -DFILE_REFERENCE=${PROJECT_SOURCE_DIR}/tests/data/${ARG_FILE_REFERENCE})
  endif()
  add_test(NAME golden.${name}
    COMMAND ${CMAKE_COMMAND}
      -DCLI=$<TARGET_FILE:lagrul-cli>
      -DREFERENCE=${PROJECT_SOURCE_DIR}/tests/data/${ARG_REFERENCE}
      -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/golden/${name}
      "-DARGS=${ARG_ARGS}"
      "-DSETUP=${ARG_SETUP}" ${extra}
      -P ${PROJECT_SOURCE_DIR}/cmake/RunGolden.cmake)
  set_tests_properties(golden.${name} PROPERTIES
    ENVIRONMENT "LAGRULL_TESTDATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# lagrull_qt_test(NAME SOURCES... DEPENDS libs...): one Qt Test executable
# for windows, run offscreen.
function(lagrull_qt_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE lagrull_options Qt6::Test ${ARG_DEPENDS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LAGRULL_TESTDATA=${PROJECT_SOURCE_DIR}/tests/data;LAGRULL_SCREENSHOTS=${CMAKE_BINARY_DIR}/screenshots")
endfunction()

# lagrull_help_beside(TARGET): copies the help pages (help/ of the source
# tree) next to a program as "helpfiles/", anew whenever a page changes, so
# that a page removed from the sources does not linger there either.
function(lagrull_help_beside target)
  file(GLOB_RECURSE pages CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/help/*")
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  set(stamp "${dir}/helpfiles/.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${dir}/helpfiles"
    COMMAND ${CMAKE_COMMAND} -E copy_directory "${PROJECT_SOURCE_DIR}/help" "${dir}/helpfiles"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${pages}
    COMMENT "Copying the help pages beside ${target}")
  add_custom_target(${target}_helpfiles ALL DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_helpfiles)
endfunction()

# lagrull_templates_beside(TARGET): copies the default letter templates
# (maler/ of the source tree: brev.rtf, TilbudAvtaleGiro.rtf) next to a
# program, where the letter run looks for them after the data directory.
function(lagrull_templates_beside target)
  file(GLOB templates CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/maler/*.rtf")
  foreach(t IN LISTS templates)
    get_filename_component(name "${t}" NAME)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${t}" "$<TARGET_FILE_DIR:${target}>/${name}")
  endforeach()
endfunction()
