# What `cmake --install` puts where (GNU layout below the prefix): the program, its desktop entry
# and AppStream metadata under the application id, the icon in every size of the hicolor theme,
# and the manual page. Every file installed is committed to the repository; nothing is generated.
include(GNUInstallDirs)

set(GRAPHONITE_APP_ID "io.github.graphonite.Graphonite")
set(GRAPHONITE_ICON_SIZES 16 32 48 64 128 256)

install(TARGETS graphonite RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(FILES "${PROJECT_SOURCE_DIR}/resources/graphonite.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
  RENAME "${GRAPHONITE_APP_ID}.desktop")
install(FILES "${PROJECT_SOURCE_DIR}/resources/${GRAPHONITE_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/graphonite.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size IN LISTS GRAPHONITE_ICON_SIZES)
  install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/graphonite.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()

install(FILES "${PROJECT_SOURCE_DIR}/doc/graphonite.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
# The type of project files, for the desktop's shared MIME database (file managers, drag and drop).
install(FILES "${PROJECT_SOURCE_DIR}/resources/${GRAPHONITE_APP_ID}.mime.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME "${GRAPHONITE_APP_ID}.xml")
