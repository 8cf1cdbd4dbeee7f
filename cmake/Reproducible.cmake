# The same commit builds to the same bytes, wherever and whenever it is built, so that anyone
# can check that a release came from this source.

# No absolute path of the checkout or the build tree in the binaries: __FILE__ and the
# debug information name sources relative to the checkout. The build tree is named last, as
# the compilers apply the last prefix that matches and it may lie inside the checkout.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)
if(WIN32)
  # The GNU linker stamps the link time into the PE header unless told not to.
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# The build date a release states is its commit's: SOURCE_DATE_EPOCH, or the commit time from
# git. It is looked up on every build, not at configure time, so that a new commit never
# leaves an old date in the program. The target writes ${ZUMBIKO_SOURCE_DATE_FILE}, the epoch
# in seconds, and touches it only when the date changes.
set(ZUMBIKO_SOURCE_DATE_FILE ${PROJECT_BINARY_DIR}/source-date-epoch)
add_custom_target(source_date
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${ZUMBIKO_SOURCE_DATE_FILE}
          -P ${PROJECT_SOURCE_DIR}/cmake/SourceDate.cmake
  BYPRODUCTS ${ZUMBIKO_SOURCE_DATE_FILE}
  VERBATIM)
