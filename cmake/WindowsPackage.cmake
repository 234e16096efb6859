# The Windows zip (cpack -G ZIP, made by scripts/build-windows.sh): one folder holding the
# program, config.txt, the shaders, the generated models and images and how to start it. The
# program is started from this folder, so everything lies beside it as in the run directory.
install(TARGETS dusklorne RUNTIME DESTINATION .)
file(WRITE ${CMAKE_BINARY_DIR}/package/config.txt ${DUSK_DEFAULT_CONFIG})
install(FILES ${CMAKE_BINARY_DIR}/package/config.txt DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt DESTINATION . RENAME README.txt)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Dusklorne/Shader DESTINATION Dusklorne)
install(DIRECTORY ${DUSK_RUN_DIR}/Model/Object ${DUSK_RUN_DIR}/Model/Image DESTINATION Model)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME dusklorne)
set(CPACK_PACKAGE_FILE_NAME dusklorne-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
include(CPack)
