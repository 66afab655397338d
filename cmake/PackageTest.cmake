# The release as a user gets it: packs the zip with CPack into a scratch
# folder, unpacks it into a fresh folder, checks what it holds and has
# package_check start tessivox.exe from there under Wine.
#
# cmake -DBUILD=<build folder> -DCPACK=<cpack> -DCHECK=<package_check.exe>
#       -DWINE_RUN=<wine-run.sh> -P PackageTest.cmake
set(work ${BUILD}/package-test)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/unpacked)

execute_process(COMMAND ${CPACK} -G ZIP --config ${BUILD}/CPackConfig.cmake -B ${work}
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
file(GLOB zips ${work}/*.zip)
list(LENGTH zips count)
if(failed OR NOT count EQUAL 1)
    message(FATAL_ERROR "CPack made no zip:\n${log}")
endif()
get_filename_component(zip ${zips} NAME)
message(STATUS "packed ${zip}")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${work}/unpacked
                RESULT_VARIABLE failed)
string(REGEX REPLACE "\\.zip$" "" top ${zip})
file(GLOB unpacked RELATIVE ${work}/unpacked ${work}/unpacked/*)
if(failed OR NOT unpacked STREQUAL top)
    message(FATAL_ERROR "${zip} should unpack into the one folder ${top}, gave: ${unpacked}")
endif()

set(folder ${work}/unpacked/${top})
foreach(f tessivox.exe settings.ini README.txt Languages/English.ini Languages/German.ini)
    if(NOT EXISTS ${folder}/${f})
        message(FATAL_ERROR "${zip} lacks ${f}")
    endif()
endforeach()
file(SIZE ${folder}/settings.ini size)
if(NOT size EQUAL 0)
    message(FATAL_ERROR "settings.ini in ${zip} is not empty")
endif()
message(STATUS "${zip} unpacks into ${top}/ with everything a first start needs")

execute_process(COMMAND ${WINE_RUN} ${CHECK} ${folder}/tessivox.exe RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "the unpacked program failed its check")
endif()
