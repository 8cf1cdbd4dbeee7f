# Fails unless the executable imports only the system's own DLLs and is built with
# ASLR and DEP (--dynamicbase, --nxcompat).
#   cmake -DOBJDUMP=... -DEXECUTABLE=... -P CheckExecutable.cmake
cmake_minimum_required(VERSION 3.25)

set(SYSTEM_DLLS
  advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  shell32.dll shlwapi.dll user32.dll version.dll)

execute_process(COMMAND "${OBJDUMP}" -p "${EXECUTABLE}" OUTPUT_VARIABLE headers
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXECUTABLE}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${EXECUTABLE}")
endif()
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST SYSTEM_DLLS)
    message(FATAL_ERROR "imports ${dll}, which is not part of Windows")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

foreach(flag DYNAMIC_BASE NX_COMPAT)
  if(NOT headers MATCHES "${flag}")
    message(FATAL_ERROR "DllCharacteristics lack ${flag}")
  endif()
endforeach()
