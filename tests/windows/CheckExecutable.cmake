# Fails unless the executable imports only the system's own DLLs, and from them only
# functions the oldest Windows it supports has (ALLOWED, one dll!function a line); unless
# its PE header names that Windows (OLDEST) as its system version; and unless it is built
# with ASLR and DEP (--dynamicbase, --nxcompat). A new import that only later Windows have
# cannot raise the minimum unnoticed.
#   cmake -DOBJDUMP=... -DEXECUTABLE=... -DALLOWED=list.txt -DOLDEST=5.1 -P CheckExecutable.cmake
cmake_minimum_required(VERSION 3.25)

set(SYSTEM_DLLS
  advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  shell32.dll shlwapi.dll user32.dll version.dll)

execute_process(COMMAND "${OBJDUMP}" -p "${EXECUTABLE}" OUTPUT_VARIABLE headers
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXECUTABLE}")
endif()
file(STRINGS "${ALLOWED}" allowed REGEX "^[a-z0-9_]+\\.dll![A-Za-z0-9_]+$")

# "DLL Name: X" opens each DLL's list; its functions follow as "<tab>vma<tab> hint name".
string(REPLACE ";" "," lines "${headers}")
string(REPLACE "\n" ";" lines "${lines}")
set(dll "")
set(count 0)
set(unknown "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: ([^ ]+)")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
    if(NOT dll IN_LIST SYSTEM_DLLS)
      message(FATAL_ERROR "imports ${dll}, which is not part of Windows")
    endif()
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z0-9_]+)$")
    math(EXPR count "${count} + 1")
    if(NOT "${dll}!${CMAKE_MATCH_1}" IN_LIST allowed)
      list(APPEND unknown "${dll}!${CMAKE_MATCH_1}")
    endif()
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no imports found in ${EXECUTABLE}")
endif()
if(unknown)
  list(JOIN unknown "\n  " unknown)
  message(FATAL_ERROR "imports not known to exist on Windows ${OLDEST} (${ALLOWED}):\n"
                      "  ${unknown}\nCheck each against that Windows and add it, or raise "
                      "the minimum everywhere it is stated.")
endif()
message(STATUS "${count} imports, all from Windows' own DLLs and on Windows ${OLDEST}")

string(REPLACE "." ";" version "${OLDEST}")
list(GET version 0 Major)
list(GET version 1 Minor)
foreach(part Major Minor)
  foreach(field OSystemVersion SubsystemVersion)
    if(NOT headers MATCHES "\n${part}${field}\t+${${part}}\n")
      message(FATAL_ERROR "the PE header's ${part}${field} is not ${${part}}")
    endif()
  endforeach()
endforeach()

foreach(flag DYNAMIC_BASE NX_COMPAT)
  if(NOT headers MATCHES "${flag}")
    message(FATAL_ERROR "DllCharacteristics lack ${flag}")
  endif()
endforeach()
