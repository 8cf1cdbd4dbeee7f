# What differs between the Linux and the Windows build.
if(WIN32)
  # One executable that imports only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

  # The shipped program is 32-bit. The 64-bit build (win64 preset) only stands in for it
  # under Wine on machines that cannot run 32-bit code: it leaves out what exists only for
  # 32-bit programs (VWIN32) and the checks of the 32-bit file itself.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ZUMBIKO_PE32 ON)
  else()
    set(ZUMBIKO_PE32 OFF)
  endif()
endif()
if(ZUMBIKO_PE32)
  # The program starts no thread. The posix thread model's runtime would still bring in
  # winpthreads, which imports what Windows XP lacks (GetTickCount64 among others); the
  # win32 model's libstdc++ and libgcc, which GoogleTest cannot build with, import nothing
  # newer. So the program links those, found beside the -win32 compiler, and the tests keep
  # the posix ones. A thread symbol in the program's own code fails its link.
  string(REPLACE "-posix" "-win32" win32_model_compiler "${CMAKE_CXX_COMPILER}")
  execute_process(COMMAND "${win32_model_compiler}" -print-file-name=libstdc++.a
                  OUTPUT_VARIABLE win32_model_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${win32_model_libstdcxx}")
    message(FATAL_ERROR "no win32 thread model runtime beside ${win32_model_compiler}")
  endif()
  get_filename_component(ZUMBIKO_PROGRAM_RUNTIME_DIR "${win32_model_libstdcxx}" DIRECTORY)
endif()
if(WIN32)
  # The oldest Windows the program starts on, as the PE header states it.
  set(ZUMBIKO_OLDEST_WINDOWS 5.1)
endif()

# The hardening Debian builds its packages with, for the Linux programs the packages carry:
# checked string and memory functions, and a global offset table that is read-only once the
# program runs. The sanitizer builds bring their own checks.
if(NOT WIN32 AND NOT ZUMBIKO_SANITIZE)
  # Undefined first: some compilers define their own level already.
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(-Wl,-z,relro,-z,now)
endif()
