# The Debian package: cpack -G DEB in the build directory writes
# vantrel_<version>-1_<arch>.deb. It installs under /usr whatever prefix the
# build was configured with (the program finds its data directory from its
# own place), and its dependencies are worked out from the shared libraries
# the programs link (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vantrel developers <developers@vantrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of hand-held UV radiometers")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel works with the Meter and Logger families of hand-held UV radiometers
connected by USB (HID 2047:0301): it identifies the instrument, reads and
changes its settings and clock, downloads the stored measurements, plots
Logger runs, saves Excel workbooks (.xls, .xlsx) and CSV files and prints test
reports, in English or Chinese.
.
The package holds the program vantrel, the command-line tool vantrel-cli,
and a udev rule that gives the user at the seat access to the instrument.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs in Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
# The udev rule reaches an instrument plugged in before the installation.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
