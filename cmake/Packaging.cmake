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
# libxlsxwriter and libzip are opened when first needed (files/deferredlibs.cpp),
# which dpkg-shlibdeps cannot see in the programs: they are named here, from
# the packages that hold the libraries the build used.
set(_deferred)
foreach(_file ${VANTREL_XLSXWRITER_FILE} ${VANTREL_LIBZIP_FILE})
  execute_process(COMMAND dpkg-query -S ${_file} OUTPUT_VARIABLE _owner RESULT_VARIABLE _rc
    ERROR_QUIET)
  if(_rc EQUAL 0 AND _owner MATCHES "^([^:,]+)")
    set(_package ${CMAKE_MATCH_1})
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${_package} OUTPUT_VARIABLE _version)
    list(APPEND _deferred "${_package} (>= ${_version})")
  else()
    message(WARNING "no package holds ${_file}: the .deb will not depend on it")
  endif()
endforeach()
# Qt's SQLite driver, a plugin: the archive of every download is kept with it
# (libqt5sql5 only recommends one of its drivers).
list(APPEND _deferred libqt5sql5-sqlite)
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${_deferred})
# Qt's own dialogs in Chinese, and Qt's PostgreSQL driver (a plugin, which
# dpkg-shlibdeps cannot see either): without it a lab's shared archive on a
# PostgreSQL server cannot be reached, and the program says to install it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n, libqt5sql5-psql")
# The udev rule reaches an instrument plugged in before the installation.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
