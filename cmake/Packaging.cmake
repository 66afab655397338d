# The release: a zip of the program folder, ready to unpack and run, made by
# CPack (./run.sh package). It unpacks into a folder named after the file,
# Tessivox-<version>-win64, holding tessivox.exe, an empty settings.ini,
# Languages\English.ini and German.ini, and README.txt.

install(TARGETS tessivox RUNTIME DESTINATION .)
# The shipped language files, not those of the build's own program folder:
# those fill themselves whenever the program runs there.
install(FILES res/Languages/English.ini res/Languages/German.ini DESTINATION Languages)
# The guide names the version, and Notepad of older Windows wants CRLF.
configure_file(res/README.txt ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
set(TESSIVOX_EMPTY_SETTINGS ${CMAKE_BINARY_DIR}/packaging/settings.ini)
file(WRITE ${TESSIVOX_EMPTY_SETTINGS} "")
install(FILES ${TESSIVOX_EMPTY_SETTINGS} DESTINATION .)

# Packing needs only the program, not the tests and benchmarks of "all".
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The Tessivox developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
