# Runs a test program under Wine at another screen DPI: sets the prefix's
# LogPixels, which Wine reads when a process starts, runs the program with a
# GoogleTest filter, and puts the previous value back whatever the program did
# (failed, crashed, or ran past the time limit).
#
# cmake -DWINE_RUN=<wine-run.sh> -DPROGRAM=<test.exe> -DDPI=<dpi> -DFILTER=<filter>
#       -DTIMEOUT=<seconds> -P RunAtDpi.cmake
set(key "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts")

execute_process(COMMAND ${WINE_RUN} reg query "${key}" /v LogPixels
                RESULT_VARIABLE absent OUTPUT_VARIABLE query ERROR_QUIET)
set(was unset)
if(NOT absent AND query MATCHES "LogPixels[ \t]+REG_DWORD[ \t]+(0x[0-9a-fA-F]+)")
    math(EXPR previous "${CMAKE_MATCH_1}")
    set(was ${previous})
endif()
message(STATUS "LogPixels ${DPI} (was ${was}): ${PROGRAM} --gtest_filter=${FILTER}")

# From here on nothing is printed until the value is back: a reader gone away
# would end this script.
execute_process(COMMAND ${WINE_RUN} reg add "${key}" /v LogPixels /t REG_DWORD /d ${DPI} /f
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "could not set LogPixels to ${DPI}")
endif()
execute_process(COMMAND ${WINE_RUN} ${PROGRAM} --gtest_filter=${FILTER}
                TIMEOUT ${TIMEOUT} RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)

if(DEFINED previous)
    execute_process(COMMAND ${WINE_RUN} reg add "${key}" /v LogPixels /t REG_DWORD
                            /d ${previous} /f
                    RESULT_VARIABLE failed OUTPUT_QUIET)
else()
    execute_process(COMMAND ${WINE_RUN} reg delete "${key}" /v LogPixels /f
                    RESULT_VARIABLE failed OUTPUT_QUIET)
endif()
if(failed)
    message(FATAL_ERROR "could not put LogPixels back")
endif()
message("${log}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} at ${DPI} DPI: ${result}")
endif()
# GoogleTest passes a filter that selects nothing.
if(log MATCHES "Running 0 tests")
    message(FATAL_ERROR "the filter ${FILTER} selects no test of ${PROGRAM}")
endif()
