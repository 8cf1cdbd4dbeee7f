# cmake -DSOURCE_DIR=... -DOUTPUT=... -P SourceDate.cmake
# Writes the seconds of SOURCE_DATE_EPOCH, or else of the checkout's last commit, to OUTPUT;
# rewrites OUTPUT only when they change, so that nothing depending on it rebuilds needlessly.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch ERROR_VARIABLE why RESULT_VARIABLE rc
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    # A source tree without git history: the date is the build's own, and says so.
    string(TIMESTAMP epoch "%s" UTC)
    message("source date: no commit time from git (${why}); using the current time. "
            "Set SOURCE_DATE_EPOCH for a reproducible build.")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${epoch}'")
endif()
file(WRITE "${OUTPUT}.new" "${epoch}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
