# cmake -DPROGRAM=exe -DSUMMARY=text -DVERSION=1.2.3 -DINCLUDE=page.h2m -DEPOCH_FILE=file
#       -DOUTPUT=page.1 -P ManPage.cmake
#
# The man page of PROGRAM from its --help, with help2man and the sections of INCLUDE. Dated
# by the source date and made in the C locale, so that a commit always gives the same page.
file(STRINGS "${EPOCH_FILE}" epoch LIMIT_COUNT 1)
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
set(ENV{LC_ALL} C)
execute_process(
  COMMAND help2man --no-info "--version-string=${VERSION}" "--name=${SUMMARY}"
          "--include=${INCLUDE}" "--output=${OUTPUT}" "${PROGRAM}"
  RESULT_VARIABLE rc ERROR_VARIABLE why)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${rc}\n${why}")
endif()
