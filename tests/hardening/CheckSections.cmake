# Fails when a section of the executable is both writable and executable: PE section flags
# as objdump -h shows them, where code without READONLY is code that can be written.
#   cmake -DOBJDUMP=... -DEXECUTABLE=... -P CheckSections.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND "${OBJDUMP}" -h "${EXECUTABLE}" OUTPUT_VARIABLE table
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXECUTABLE}")
endif()

# Each section is a line "  n name size ..." followed by a line of flags.
string(REGEX MATCHALL "\n +[0-9]+ +[^ ]+ [^\n]*\n +[A-Z_, ]+" sections "${table}")
if(NOT sections)
  message(FATAL_ERROR "no sections found in ${EXECUTABLE}")
endif()
foreach(section IN LISTS sections)
  string(REGEX MATCH "[0-9]+ +([^ ]+)" _ "${section}")
  set(name "${CMAKE_MATCH_1}")
  string(REGEX MATCH "\n +([A-Z_, ]+)$" _ "${section}")
  set(flags "${CMAKE_MATCH_1}")
  if(flags MATCHES "CODE" AND NOT flags MATCHES "READONLY")
    message(FATAL_ERROR "section ${name} is writable and executable: ${flags}")
  endif()
  message(STATUS "${name}: ${flags}")
endforeach()
