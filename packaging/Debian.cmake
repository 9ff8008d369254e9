# The manual page, the documents a Debian package carries, and the package itself: `make deb` (scripts/deb)
# runs CPack's DEB generator on the build folder's install. Included by the root CMakeLists.txt after the
# install rules.

# This version's release date, from the metainfo: the manual page's and the changelog's date.
set(metainfo_file ${PROJECT_SOURCE_DIR}/data/${LUMORA_APP_ID}.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo_file})
file(READ ${metainfo_file} metainfo)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(metainfo MATCHES "<release version=\"${version_pattern}\" date=\"([0-9-]+)\"")
  set(release_day ${CMAKE_MATCH_1})
else()
  message(WARNING "The metainfo has no release ${PROJECT_VERSION}: the manual page and changelog are dated today")
  string(TIMESTAMP release_day "%Y-%m-%d" UTC)
endif()
execute_process(COMMAND date -u -R -d "${release_day} 12:00" OUTPUT_VARIABLE LUMORA_RELEASE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u +%s -d "${release_day} 12:00" OUTPUT_VARIABLE release_epoch
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# lumora(1) is written in scdoc (docs/lumora.1.scd) and installed compressed as Debian's tools do it
# (gzip -9n: no file name or time inside, so the same page gives the same bytes).
find_program(SCDOC scdoc)
if(SCDOC)
  set(manpage ${PROJECT_BINARY_DIR}/lumora.1)
  add_custom_command(
    OUTPUT ${manpage}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_epoch}
            sh -c "\"$0\" < \"$1\" > \"$2\"" ${SCDOC} ${PROJECT_SOURCE_DIR}/docs/lumora.1.scd ${manpage}
    COMMAND gzip -9nkf ${manpage}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/lumora.1.scd
    COMMENT "Writing the manual page lumora.1"
    VERBATIM)
  add_custom_target(lumora_manpage ALL DEPENDS ${manpage}.gz)
  add_dependencies(lumora lumora_manpage) # built with the program, whose install holds it
  install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "scdoc not found (Debian package scdoc): the manual page is not built")
endif()

set(LUMORA_PACKAGE_MAINTAINER "The Lumora developers <lumora@users.noreply.github.com>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

# The licence, and a changelog whose one entry is this version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/changelog
  DEPENDS ${PROJECT_BINARY_DIR}/changelog
  VERBATIM)
add_custom_target(lumora_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
add_dependencies(lumora lumora_changelog)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # lumora_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture editor for decorating photographs")
# The long description's lines as the control file shows them (dpkg wants them under 80 characters).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Lumora opens a photograph, or creates a plain, gradient or textured"
       "background, and adds text, 3D text, shapes, frames, light and splash"
       "overlays, montage templates, another picture, colour layers and a"
       "magnifier inset. Filters, cropping, tiling and flipping are built in, and"
       "the result is saved as PNG, JPEG, BMP or GIF. Every step can be edited"
       "again, and projects keep the steps that made a picture."
       ""
       "The filters also work from the command line, without a window.")
# Depends: the libraries the program links, found by dpkg-shlibdeps. Qt loads plugins it does not link:
# WebP pictures need the image format plugins, and the panels are laid out for Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, fonts-liberation2")
include(CPack)
