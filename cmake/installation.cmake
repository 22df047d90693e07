# Installation: the library (shared and static) with its host-facing
# headers, the qxtva tool and its French manual page, the samples and the
# default account mapping; a CMake package (find_package(QX_TVA)), a
# pkg-config file and a Debian package through cpack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The host-facing headers: those a host program includes (the engine, the
# declaration object and its records, the checks, the ledger export reader)
# and those they include in turn. The library side (*_interne.h) stays out.
set(QX_HOST_HEADERS
  checks/verification.h
  declaration/declaration_tva.h
  engine/calcul_tva.h engine/rubriques.h
  fec/conversion_fec.h fec/correspondances_fec.h fec/fichier_donnees.h fec/lecteur_fec.h
  platform/collection.h platform/date.h platform/error.h platform/text_key.h
  platform/text_line_reader.h platform/value.h platform/xml_document.h platform/xml_scanner.h
  records/declarants.h records/paiements.h
  rubrics/lignes.h rubrics/rubric_engine.h rubrics/rubrique.h
  transmission/ardilo_interface.h)
foreach(header IN LISTS QX_HOST_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES src/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qx_tva/${folder}
          COMPONENT developpement)
endforeach()

# One library out of the subsystems' objects, built once.
set(QX_SUBSYSTEMS qx_platform qx_rubrics qx_engine qx_records qx_ardilo qx_transmission
                  qx_declaration qx_fec)
set(QX_OBJECTS)
foreach(subsystem IN LISTS QX_SUBSYSTEMS)
  list(APPEND QX_OBJECTS $<TARGET_OBJECTS:${subsystem}>)
endforeach()
add_library(qx_tva_shared SHARED ${QX_OBJECTS})
add_library(qx_tva_static STATIC ${QX_OBJECTS})
foreach(target qx_tva_shared qx_tva_static)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME qx_tva)
  target_include_directories(${target} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/qx_tva>)
endforeach()
set_target_properties(qx_tva_shared PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                               EXPORT_NAME qx_tva)
set_target_properties(qx_tva_static PROPERTIES EXPORT_NAME qx_tva_static)
target_link_libraries(qx_tva_shared PRIVATE PkgConfig::LIBXML2 Threads::Threads)
target_link_libraries(qx_tva_static INTERFACE $<INSTALL_INTERFACE:LibXml2::LibXml2> Threads::Threads)

install(TARGETS qx_tva_shared qx_tva_static EXPORT QX_TVATargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT bibliotheque
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT developpement)
install(EXPORT QX_TVATargets NAMESPACE QX_TVA:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QX_TVA
        COMPONENT developpement)
configure_package_config_file(cmake/QX_TVAConfig.cmake.in ${PROJECT_BINARY_DIR}/QX_TVAConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QX_TVA)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QX_TVAConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QX_TVAConfig.cmake ${PROJECT_BINARY_DIR}/QX_TVAConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QX_TVA COMPONENT developpement)
# The prefix is found from where the file lies, so that any --prefix or DESTDIR holds.
file(RELATIVE_PATH QX_PC_VERS_PREFIX /racine/${CMAKE_INSTALL_LIBDIR}/pkgconfig /racine)
configure_file(cmake/qx_tva.pc.in ${PROJECT_BINARY_DIR}/qx_tva.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qx_tva.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT developpement)

install(TARGETS qxtva RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT outil)
install(FILES doc/qxtva.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/fr/man1 COMPONENT outil)
install(FILES doc/qxtva.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT outil)
install(DIRECTORY samples/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/qxtva/exemples COMPONENT outil)
install(FILES src/fec/correspondances-pcg.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/qxtva
        COMPONENT outil)

# cpack -G DEB: one package with everything, for a Debian machine.
set(CPACK_PACKAGE_NAME qxtva)
set(CPACK_PACKAGE_VENDOR "QX_TVA")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calcul et dépôt des déclarations de TVA (CA3, CA12)")
set(CPACK_PACKAGE_CONTACT "QX_TVA <qxtva@example.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libxml2-dev")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
