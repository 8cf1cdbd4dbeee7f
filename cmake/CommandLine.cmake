# CLI11, the command-line library of every tool. It is header-only, so the Windows build takes
# the host's headers, alone: the rest of /usr/include must stay out of a mingw build.
if(WIN32)
  find_path(ZUMBIKO_CLI11_HOST_INCLUDE CLI/CLI.hpp PATHS /usr/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
  file(CREATE_LINK ${ZUMBIKO_CLI11_HOST_INCLUDE}/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/cli11)
else()
  find_package(CLI11 CONFIG REQUIRED)
endif()
