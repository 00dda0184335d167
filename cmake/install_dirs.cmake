# Where the shipped files go, every one relative to the install prefix so
# that `cmake --install --prefix STAGE` and `DESTDIR=STAGE` lay out the same
# tree.
#
# CUPS runs filters only from its own ServerBin and lists models from its own
# DataDir, so a driver installed anywhere else would be invisible to it: the
# prefix defaults to /usr, and the CUPS folders are the ones cups-config
# names, taken relative to /usr.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
set(CMAKE_INSTALL_DOCDIR share/doc/printer-driver-korla CACHE PATH "Documentation folder")
include(GNUInstallDirs)

function(korla_cups_dir variable option fallback description)
  execute_process(COMMAND cups-config ${option}
                  OUTPUT_VARIABLE absolute OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(failed OR NOT absolute MATCHES "^/usr/")
    set(absolute /usr/${fallback})
  endif()
  string(REGEX REPLACE "^/usr/" "" relative "${absolute}")
  set(${variable} "${relative}" CACHE PATH "${description}, relative to the install prefix")
endfunction()

korla_cups_dir(KORLA_CUPS_SERVERBIN --serverbin lib/cups "CUPS's ServerBin")
korla_cups_dir(KORLA_CUPS_DATADIR --datadir share/cups "CUPS's DataDir")
set(KORLA_CUPS_FILTER_DIR ${KORLA_CUPS_SERVERBIN}/filter)
set(KORLA_CUPS_MODEL_DIR ${KORLA_CUPS_DATADIR}/model)
