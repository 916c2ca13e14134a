# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules (cmake --install, GNU directory layout) and the Debian
# package built from them (cmake --build build --target package).
include(GNUInstallDirs)

set(VANTOR_MAINTAINER "Vantor developers <vantor@example.org>" CACHE STRING
    "Maintainer named in the Debian package and its changelog")
set(VANTOR_DEB_RELEASE 1)
set(VANTOR_DEB_VERSION ${PROJECT_VERSION}-${VANTOR_DEB_RELEASE})
set(VANTOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vantor)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)

# Manual pages and the changelog get the version at configure time and are
# compressed at install time, the way Debian wants them (-n: no name or time
# stamp, so builds are reproducible). The manual names the samples folder of
# the prefix actually installed to (--prefix, or /usr in the package).
string(TIMESTAMP VANTOR_MAN_DATE "%Y-%m-%d" UTC)
set(VANTOR_SAMPLES_PATH "@VANTOR_SAMPLES_PATH@")
find_program(VANTOR_GZIP gzip REQUIRED)
function(vantor_gzipped template output)
  configure_file(${template} ${generated}/${output}.in @ONLY)
  install(CODE "
    set(VANTOR_SAMPLES_PATH \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/vantor/samples\")
    configure_file(${generated}/${output}.in ${generated}/${output} @ONLY)
    execute_process(COMMAND ${VANTOR_GZIP} -9nf ${generated}/${output} COMMAND_ERROR_IS_FATAL ANY)")
endfunction()
vantor_gzipped(${packaging}/man/vantor-cli.1.in vantor-cli.1)
vantor_gzipped(${packaging}/changelog.Debian.in changelog.Debian)

install(TARGETS vantor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vantor-cli-plot)  # `vantor-cli plot`, run by vantor-cli from there
  install(TARGETS vantor-cli-plot RUNTIME DESTINATION ${VANTOR_PLOT_PROGRAM_DIR})
endif()
install(FILES ${generated}/vantor-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/vantor.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor/samples)
install(FILES ${packaging}/copyright ${generated}/changelog.Debian.gz DESTINATION ${VANTOR_DOC_DIR})
if(TARGET vantor)
  vantor_gzipped(${packaging}/man/vantor.1.in vantor.1)
  install(TARGETS vantor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${generated}/vantor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${packaging}/vantor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging}/vantor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The Debian package. Its dependencies come from dpkg-shlibdeps; the file
# triggers of shared-mime-info, desktop-file-utils and the icon cache pick up
# the new types, entry and icon, so no maintainer scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VENDOR "the Vantor developers")
set(CPACK_PACKAGE_CONTACT ${VANTOR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "energy-dispersive X-ray diffraction spectrum converter")
# Lines of at most 80 characters, as Debian's control files want them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Vantor turns the spectra of an energy-dispersive X-ray diffraction beamline\n"
  "into the files that experimenters and their analysis programs need. It reads\n"
  "record, analyser, analyser export and profile files, can replace their energy\n"
  "calibration and angle, and writes report, text, table, profile, GSAS and\n"
  "record files. It also sums spectra and lays profile spectra side by side in\n"
  "one table. The package holds the window (vantor) and the command line\n"
  "(vantor-cli) for whole folders.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VANTOR_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET vantor_module)
  # The module is built for this interpreter version; the libraries come from shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${VANTOR_PYTHON_VERSION}), python3 (<< ${VANTOR_PYTHON_VERSION}.999), python3-numpy")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
