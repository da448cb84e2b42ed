# The simulator's report of the example settings, every column, against the reviewed golden
# report. Every build compares with the same file, so a 32-bit device prints what a 64-bit one
# does. Rewritten only on request, after review:
#   VORLA_REWRITE_GOLDEN=1 ctest --preset default -R tools.ExampleReport
execute_process(COMMAND ${SIM} --settings ${EXAMPLE}
                OUTPUT_VARIABLE report ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vorla-sim failed (${status}): ${errors}")
endif()
# The heading names the files of this checkout and build.
string(REGEX REPLACE "^Settings file: [^\n]*\nLibrary: [^\n]*\n" "" report "${report}")
if(DEFINED ENV{VORLA_REWRITE_GOLDEN})
  file(WRITE ${GOLDEN} "${report}")
  return()
endif()
file(READ ${GOLDEN} expected)
if(NOT report STREQUAL expected)
  file(WRITE ${ACTUAL} "${report}")
  message(FATAL_ERROR "The report differs from the golden one: diff -u ${GOLDEN} ${ACTUAL}")
endif()
