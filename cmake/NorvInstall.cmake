# Installation of the component for other hosts: the shared library, the
# headers a host includes (the interface and records, the host-service
# interfaces, the registration entry points, and the runtime and forms headers
# they rest on) under include/norv/, the CMake package Norv_RazizeRuveRO_DOS
# and a pkg-config file of the same name.
#
# A host writes #include <norv/core/client_bank.h>. The installed headers reach
# each other by relative paths ("records.h", "../runtime/date.h"), which resolve
# the same in src/ and in include/norv/, so the project's own code keeps its
# "core/records.h" includes and no header is copied at build time.
include(CMakePackageConfigHelpers)

set(NORV_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Norv_RazizeRuveRO_DOS)

install(TARGETS Norv_RazizeRuveRO_DOS EXPORT Norv_RazizeRuveRO_DOSTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

foreach(dir runtime host forms)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/src/${dir}/
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/norv/${dir} FILES_MATCHING PATTERN "*.h")
endforeach()
install(FILES
  ${CMAKE_SOURCE_DIR}/src/core/client_bank.h
  ${CMAKE_SOURCE_DIR}/src/core/records.h
  ${CMAKE_SOURCE_DIR}/src/core/error_numbers.h
  ${CMAKE_SOURCE_DIR}/src/core/resource_ids.h
  ${CMAKE_SOURCE_DIR}/src/core/err_description.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/norv/core)
install(FILES ${CMAKE_SOURCE_DIR}/src/export/payment_fields.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/norv/export)
install(FILES ${CMAKE_SOURCE_DIR}/src/files/browse_path.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/norv/files)
install(FILES ${CMAKE_SOURCE_DIR}/src/component/registration.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/norv/component)

install(EXPORT Norv_RazizeRuveRO_DOSTargets NAMESPACE Norv:: DESTINATION ${NORV_PACKAGE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/Norv_RazizeRuveRO_DOSConfig.cmake.in
  ${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOSConfig.cmake INSTALL_DESTINATION ${NORV_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOSConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOSConfig.cmake
  ${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOSConfigVersion.cmake DESTINATION ${NORV_PACKAGE_DIR})

# pkg-config: the prefix is found from the .pc file's own place, so the
# package works wherever it is installed (cmake --install --prefix).
file(RELATIVE_PATH NORV_PC_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_SOURCE_DIR}/cmake/Norv_RazizeRuveRO_DOS.pc.in
  ${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOS.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/Norv_RazizeRuveRO_DOS.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# A host built elsewhere against the installed package runs one export.
if(NORV_BUILD_TESTS)
  set(NORV_INSTALL_TEST_FLAGS "")
  if(NORV_SANITIZE)
    set(NORV_INSTALL_TEST_FLAGS "-fsanitize=address,undefined")
  endif()
  add_test(NAME install_package_minimal_host
    COMMAND ${CMAKE_COMMAND}
      -DBINARY_DIR=${CMAKE_BINARY_DIR}
      -DHOST_SOURCE_DIR=${CMAKE_SOURCE_DIR}/examples/minimal_host
      -DWORK_DIR=${CMAKE_BINARY_DIR}/install_test
      -DGENERATOR=${CMAKE_GENERATOR}
      -DCXX_FLAGS=${NORV_INSTALL_TEST_FLAGS}
      -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
      -P ${CMAKE_SOURCE_DIR}/cmake/InstallTest.cmake)
endif()
