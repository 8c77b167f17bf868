# Installation. `cmake --install` puts the programs in bin/, their manual pages in
# share/man/man1, the desktop entry and its icons in share/applications and
# share/icons/hicolor, and the package's documents in share/doc/qzview. The Debian
# packages are built from debian/ (dpkg-buildpackage) with these same rules;
# `cpack -G DEB` in the build directory still packs everything as one
# qzview_VERSION_ARCH.deb.
include(GNUInstallDirs)

set(QZVIEW_PACKAGE_MAINTAINER "qzview maintainers <maintainers@qzview.example>"
    CACHE STRING "The Maintainer field of the Debian package")

set(QZVIEW_PROGRAMS qzview qzview-show qzview-demo qzview-headless)
foreach(program ${QZVIEW_PROGRAMS})
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Debian wants manual pages and the changelog compressed with gzip -9n: no name and
# no time stamp inside, so that two builds give the same bytes.
find_program(QZVIEW_GZIP gzip REQUIRED)
set(QZVIEW_DOC_BUILD_DIR ${PROJECT_BINARY_DIR}/doc)
set(QZVIEW_COMPRESSED_DOCS)
function(qzview_gzip source compressed)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${QZVIEW_GZIP} -9n -c ${source} > ${compressed}
                     DEPENDS ${source}
                     COMMENT "Compressing ${source}")
  set(QZVIEW_COMPRESSED_DOCS ${QZVIEW_COMPRESSED_DOCS} ${compressed} PARENT_SCOPE)
endfunction()

foreach(program ${QZVIEW_PROGRAMS})
  if(TARGET ${program})
    set(page ${QZVIEW_DOC_BUILD_DIR}/${program}.1)
    configure_file(${PROJECT_SOURCE_DIR}/doc/man/${program}.1.in ${page} @ONLY)
    qzview_gzip(${page} ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

# The changelog's newest entry names the version the package gets.
set(QZVIEW_CHANGELOG ${PROJECT_SOURCE_DIR}/debian/changelog)
file(STRINGS ${QZVIEW_CHANGELOG} QZVIEW_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT QZVIEW_CHANGELOG_TOP MATCHES "^qzview \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "debian/changelog must begin with an entry for ${PROJECT_VERSION}")
endif()
qzview_gzip(${QZVIEW_CHANGELOG} ${QZVIEW_DOC_BUILD_DIR}/changelog.gz)
add_custom_target(qzview-docs ALL DEPENDS ${QZVIEW_COMPRESSED_DOCS})
install(FILES ${QZVIEW_DOC_BUILD_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/debian/copyright
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The desktop entry, and the program's icon in the icon theme's sizes, drawn at build
# time by the same code as the Windows program's icon.
if(TARGET qzview_platform_sdl)
  find_package(SDL2 CONFIG REQUIRED)
  find_package(SDL2_image CONFIG REQUIRED)
  add_executable(make_png_icon ${PROJECT_SOURCE_DIR}/packaging/desktop/make_png_icon.cpp)
  qzview_target(make_png_icon)
  target_link_libraries(make_png_icon PRIVATE qzview_platform_common SDL2::SDL2
                        SDL2_image::SDL2_image)
  set(QZVIEW_ICONS)
  foreach(size 16 22 24 32 48 64 128 256)
    set(icon ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps/qzview.png)
    add_custom_command(OUTPUT ${icon}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps
                       COMMAND make_png_icon ${size} ${icon}
                       DEPENDS make_png_icon
                       COMMENT "Drawing the ${size}x${size} icon")
    list(APPEND QZVIEW_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(qzview-icons ALL DEPENDS ${QZVIEW_ICONS})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/qzview.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qzview)
set(CPACK_PACKAGE_VENDOR "the qzview developers")
set(CPACK_PACKAGE_CONTACT "${QZVIEW_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen screenshot show with its own editor")
set(CPACK_PACKAGE_DESCRIPTION
    "qzview shows a game's numbered screenshots one at a time, full screen, in the
order of a show script, with inset boxes, level label strips, a mark symbol, a
looping background sound and one-time sounds. Viewers work it with the mouse
alone; its editor appends, exchanges, inserts, deletes and marks pictures, sets
box, sound and level numbers and saves the show script.

The package holds the show program qzview (SDL2), which also shows a folder
of pictures; qzview-demo, which writes a demo show; qzview-show, which checks a
show, dumps and loads its script as CSV, makes a show from PNG, JPEG or WebP
screenshots and draws its contact sheet; and qzview-headless, which runs a show
from a script without a screen.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from the binaries (dpkg-shlibdeps); the fonts
# that qzview draws its text with, and qzview-show its contact sheets, are read from
# files, so their package is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
