# Writes the manual page of qzr6100-cli from its own help (--man), so the
# page says what the program's --help says. Run by the build:
#   cmake -DPROGRAM=<qzr6100-cli> -DOUTPUT=<page> -P write_man_page.cmake
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(COMMAND "${PROGRAM}" --man
                OUTPUT_FILE "${OUTPUT}.partial"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.partial")
  message(FATAL_ERROR "${PROGRAM} --man failed: ${result}")
endif()
file(RENAME "${OUTPUT}.partial" "${OUTPUT}")
