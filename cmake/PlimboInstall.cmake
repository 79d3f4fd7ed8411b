# Files whose text names where the shop is installed (the kiosk's systemd
# unit, its X session and the session's script) are written when the shop
# is installed, for the prefix that install is given, and recorded in
# install_manifest.txt like every other file. They are also written once
# into the build tree, naming the programs built there, for scripts/run.sh
# and the tests.

# The values those files name besides the install's own folders; the kiosk
# session keeps the shop up by the same rules as the unit.
set(PLIMBO_KIOSK_DRIVE_A /media/kiosk/SHOPDISK)
set(PLIMBO_KIOSK_BURST 10)
set(PLIMBO_KIOSK_INTERVAL 60)
set(PLIMBO_KIOSK_IDLE_RESET 180)
# The kiosk's own settings, root's, which win over the session's environment.
set(PLIMBO_KIOSK_DEFAULTS /etc/default/plimbo-kiosk)

configure_file(${CMAKE_CURRENT_LIST_DIR}/plimbo-install-values.cmake.in
               ${PROJECT_BINARY_DIR}/plimbo-install-values.cmake @ONLY)

# plimbo_install_configured(TEMPLATE DESTINATION NAME [PROGRAM]): installs
# TEMPLATE, configured for the install's prefix, as DESTINATION/NAME
# (DESTINATION relative to the prefix).
function(plimbo_install_configured template destination name)
  set(program OFF)
  if("PROGRAM" IN_LIST ARGN)
    set(program ON)
  endif()
  install(CODE "
    include(\"${PROJECT_BINARY_DIR}/plimbo-install-values.cmake\")
    plimbo_configure_for_prefix(\"${template}\" \"${destination}\" \"${name}\" ${program})
  ")
endfunction()

# The kiosk session's script as the build tree runs it.
set(PLIMBO_KIOSK_SHOP ${PROJECT_BINARY_DIR}/src/app/plimbo)
set(PLIMBO_KIOSK_CHECKER ${PROJECT_BINARY_DIR}/src/app/plimbo-check-prices)
set(PLIMBO_KIOSK_IDLE ${PROJECT_BINARY_DIR}/src/app/plimbo-idle)
set(PLIMBO_KIOSK_SETTINGS ${PROJECT_SOURCE_DIR}/data/kiosk)
configure_file(${PROJECT_SOURCE_DIR}/data/kiosk/plimbo-kiosk.in ${PROJECT_BINARY_DIR}/kiosk/plimbo-kiosk @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                WORLD_EXECUTE)
