# The Debian package of the gateway (cpack -G DEB in the build folder): the stripped executable
# and its configuration under the install prefix, the systemd unit, and maintainer scripts that
# tell systemd. Depends is computed from the executable's shared libraries (dpkg-shlibdeps).
set(ORIK_PACKAGE_NAME orik-gateway)
set(ORIK_PACKAGE_DOC_DIR /usr/share/doc/${ORIK_PACKAGE_NAME})
set(ORIK_PACKAGE_MAINTAINER "ORIK gateway maintainers <orik-gateway@example.com>")

foreach(script IN ITEMS postinst prerm postrm)
  configure_file(${PROJECT_SOURCE_DIR}/app/debian/${script}.in ${PROJECT_BINARY_DIR}/debian/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE)
endforeach()
# A native package's changelog: one entry, for this version, dated at configure time
# (SOURCE_DATE_EPOCH, when set, fixes the date).
string(TIMESTAMP ORIK_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/app/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
execute_process(COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/debian/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_SOURCE_DIR}/app/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${ORIK_PACKAGE_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/app/debian/lintian-overrides DESTINATION /usr/share/lintian/overrides
        RENAME ${ORIK_PACKAGE_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ORIK_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ORIK")
set(CPACK_PACKAGE_CONTACT ${ORIK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ORIK charging-management gateway (SOME/IP to REST)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Serves the vehicle's charging management to in-vehicle clients as REST\n\
services. It consumes the ChargingManagementCore and RouteBasedEnergyContents\n\
services over SOME/IP and offers them over HTTP/1.1; it logs to DLT and is\n\
supervised by systemd.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/postinst ${PROJECT_BINARY_DIR}/debian/prerm
                                       ${PROJECT_BINARY_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
