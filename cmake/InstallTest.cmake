# Installs the build into a fresh prefix, builds the minimal host against the
# installed package and runs one export through it (cmake -P).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/out)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix)
foreach(file lib/cmake/Norv_RazizeRuveRO_DOS/Norv_RazizeRuveRO_DOSConfig.cmake
             include/norv/core/client_bank.h include/norv/host/host_library.h)
  if(NOT EXISTS ${WORK_DIR}/prefix/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
run(${CMAKE_COMMAND} -S ${HOST_SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/minimal_host ${WORK_DIR}/out)
message(STATUS "${last_output}")

# Compared as hex: a text read would lose the CR of the line end.
file(READ ${WORK_DIR}/out/240131.mok written HEX)
string(HEX "125,2024.01.15,,,70440,LT123456789012345678,1234.50,EUR,,Tiekejas,,LT876543210987654321,,,\r\n" expected)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "240131.mok holds ${written}, expected ${expected} (hex)")
endif()
