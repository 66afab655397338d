# Puts the files beside tessivox.exe that a first start needs. Language files
# fill themselves as the program runs, so an existing one is never replaced.
file(MAKE_DIRECTORY ${DIST}/Languages)
if(NOT EXISTS ${DIST}/settings.ini)
    file(WRITE ${DIST}/settings.ini "")
endif()
file(GLOB shipped ${SRC}/res/Languages/*.ini)
foreach(f ${shipped})
    get_filename_component(name ${f} NAME)
    if(NOT EXISTS ${DIST}/Languages/${name})
        configure_file(${f} ${DIST}/Languages/${name} COPYONLY)
    endif()
endforeach()
