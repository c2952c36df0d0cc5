# The Debian package, made with CPack from the install rules: scripts/package builds it and
# tests/package checks it. Dependencies on shared libraries are computed with dpkg-shlibdeps;
# those added here are loaded at run time (Qt's ODBC driver plug-in, unixODBC's tools and
# configuration, the font of the windows).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravena)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora <support@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copies Paradox tables into an Oracle schema")
set(CPACK_PACKAGE_DESCRIPTION
    "Dravena Conversion Software copies tables from a folder of Paradox table
files into an Oracle schema, reached through unixODBC, and drops and renames
tables on both sides. The package holds the desktop program dravena and
dravena-cli, which prints the SQL of a transfer, sends tables and lists the
server's tables without windows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.velmora.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-odbc, libqt6keychain1, unixodbc, fonts-liberation2")

include(CPack)
