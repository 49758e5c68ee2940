# Install-time script: writes the systemd units with the path of the program installed with
# them, which is known only now (cpack installs into /usr, `cmake --install` into
# CMAKE_INSTALL_PREFIX), and installs them. The caller sets GRAINLINK_UNIT_TEMPLATE,
# GRAINLINK_UNIT_WORK_DIR and GRAINLINK_BINDIR.
set(GRAINLINK_PROGRAM "${CMAKE_INSTALL_PREFIX}/${GRAINLINK_BINDIR}/grainlink")
# One folder per prefix, so that a package built while `cmake --install` runs gets its own units.
string(MAKE_C_IDENTIFIER "${CMAKE_INSTALL_PREFIX}" prefix_name)
set(work_dir "${GRAINLINK_UNIT_WORK_DIR}/units${prefix_name}")

# grainlink.service: the server; grainlink@NAME.service: one more server, with its own
# configuration and data directories named after the instance.
set(INSTANCE_DESCRIPTION "")
set(INSTANCE_PATH "")
configure_file("${GRAINLINK_UNIT_TEMPLATE}" "${work_dir}/grainlink.service" @ONLY)
set(INSTANCE_DESCRIPTION " (%i)")
set(INSTANCE_PATH "/%i")
configure_file("${GRAINLINK_UNIT_TEMPLATE}" "${work_dir}/grainlink@.service" @ONLY)

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system" TYPE FILE
     FILES "${work_dir}/grainlink.service"
           "${work_dir}/grainlink@.service")
