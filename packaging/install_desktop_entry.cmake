# Run by `cmake --install`: writes the menu entry for the prefix being
# installed to and installs it. QUORVANE_DESKTOP_ENTRY_IN, QUORVANE_DESKTOP_ENTRY,
# QUORVANE_BINDIR and QUORVANE_DATADIR come from the install rules.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(QUORVANE_EXEC quorvane)
else()
  # A quoted argument of the desktop entry format: ", `, $ and \ escaped by a
  # backslash, then every backslash doubled as in any string value; % as %%.
  set(launcher "${CMAKE_INSTALL_PREFIX}/${QUORVANE_BINDIR}/quorvane")
  string(REGEX REPLACE [[(["`$\])]] [[\\\1]] launcher "${launcher}")
  string(REPLACE [[\]] [[\\]] launcher "${launcher}")
  string(REPLACE "%" "%%" launcher "${launcher}")
  set(QUORVANE_EXEC "\"${launcher}\"")
endif()
configure_file("${QUORVANE_DESKTOP_ENTRY_IN}" "${QUORVANE_DESKTOP_ENTRY}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUORVANE_DATADIR}/applications" TYPE FILE
  FILES "${QUORVANE_DESKTOP_ENTRY}")
