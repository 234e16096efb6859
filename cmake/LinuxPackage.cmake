# The Debian package: the demo, its data and the launcher `dusklorne`, made by CPack from this
# build folder (target dusk_deb, or scripts/package-linux.sh), in Debian's layout for games under
# /usr. The launcher finds the rest from its own place, so the unpacked tree runs wherever it lies:
#   games/dusklorne                     the launcher, the only `dusklorne` on the PATH
#   lib/games/dusklorne/dusklorne-demo  the program itself
#   share/games/dusklorne/              config.txt, Dusklorne/Shader, Model/Object, Model/Image
#   share/man/man6/dusklorne.6.gz, share/doc/dusklorne/{copyright,changelog.gz}
if(NOT TARGET dusk_assets)
    return()
endif()

set(DUSK_PACKAGE_DATA share/games/dusklorne)
set(DUSK_PACKAGE_SOURCE ${PROJECT_SOURCE_DIR}/packaging/linux)
set(DUSK_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package-files)

# The default window size, the man page and the changelog as the package holds them, rewritten
# only when they change (gzip -n keeps no name or time), so a new configure leaves the package be.
file(CONFIGURE OUTPUT ${DUSK_PACKAGE_STAGE}/config.txt CONTENT "${DUSK_DEFAULT_CONFIG}")
configure_file(${DUSK_PACKAGE_SOURCE}/changelog.in ${DUSK_PACKAGE_STAGE}/changelog @ONLY)
configure_file(${DUSK_PACKAGE_SOURCE}/dusklorne.6 ${DUSK_PACKAGE_STAGE}/dusklorne.6 COPYONLY)
foreach(file changelog dusklorne.6)
    execute_process(COMMAND gzip -9nc ${DUSK_PACKAGE_STAGE}/${file}
        OUTPUT_FILE ${DUSK_PACKAGE_STAGE}/${file}.gz.new COMMAND_ERROR_IS_FATAL ANY)
    file(COPY_FILE ${DUSK_PACKAGE_STAGE}/${file}.gz.new ${DUSK_PACKAGE_STAGE}/${file}.gz
        ONLY_IF_DIFFERENT)
endforeach()
set(DUSK_PACKAGE_STAGED ${DUSK_PACKAGE_STAGE}/config.txt ${DUSK_PACKAGE_STAGE}/changelog.gz
    ${DUSK_PACKAGE_STAGE}/dusklorne.6.gz)

set(DUSK_READ_ONLY OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(DUSK_EXECUTABLE ${DUSK_READ_ONLY} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
install(PROGRAMS ${DUSK_PACKAGE_SOURCE}/dusklorne.sh DESTINATION games RENAME dusklorne)
install(PROGRAMS $<TARGET_FILE:dusklorne> DESTINATION lib/games/dusklorne RENAME dusklorne-demo)
# Only installed targets are stripped by CMake, and the program is installed under another name.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/games/dusklorne/dusklorne-demo\"
        COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES ${DUSK_PACKAGE_STAGE}/config.txt DESTINATION ${DUSK_PACKAGE_DATA})
install(FILES ${DUSK_SHADER_FILES} DESTINATION ${DUSK_PACKAGE_DATA}/Dusklorne/Shader)
install(DIRECTORY ${DUSK_RUN_DIR}/Model DESTINATION ${DUSK_PACKAGE_DATA}
    FILE_PERMISSIONS ${DUSK_READ_ONLY} DIRECTORY_PERMISSIONS ${DUSK_EXECUTABLE})
install(FILES ${DUSK_PACKAGE_STAGE}/dusklorne.6.gz DESTINATION share/man/man6)
install(FILES ${DUSK_PACKAGE_SOURCE}/copyright ${DUSK_PACKAGE_STAGE}/changelog.gz
    DESTINATION share/doc/dusklorne)

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE DUSK_DEB_ARCHITECTURE
    OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dusklorne)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${DUSK_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dusklorne developers <dusklorne@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D demo: a castle at dusk")
set(CPACK_PACKAGE_DESCRIPTION
    "Dusklorne draws a castle at dusk with OpenGL 3.3: shadow mapping, normal
mapping, forty trees, fog, particle nebulae, an explosion and a lens flare.
Every run starts with a 42-second intro flight; then the player flies freely
with the mouse and the keys.
.
The command dusklorne starts it in a folder of the player's own,
~/.local/share/dusklorne, where its config.txt (the window size) can be edited
and where the camera path lines (camData.txt) and the screenshots are saved.")
# The dependencies are those of the libraries the program links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${DUSK_EXECUTABLE})
include(CPack)

set(DUSK_DEB_FILE
    ${CMAKE_BINARY_DIR}/package/dusklorne_${PROJECT_VERSION}_${DUSK_DEB_ARCHITECTURE}.deb
    CACHE INTERNAL "The Debian package that the target dusk_deb makes")
file(GLOB DUSK_PACKAGE_SOURCES CONFIGURE_DEPENDS ${DUSK_PACKAGE_SOURCE}/*)
add_custom_command(OUTPUT ${DUSK_DEB_FILE}
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
            -B ${CMAKE_BINARY_DIR}/package
    DEPENDS dusklorne ${DUSK_ASSET_STAMP} ${DUSK_SHADER_STAMP} ${DUSK_PACKAGE_SOURCES}
            ${DUSK_PACKAGE_STAGED}
            ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/cmake_install.cmake
    COMMENT "Making the Debian package")
add_custom_target(dusk_deb DEPENDS ${DUSK_DEB_FILE})
