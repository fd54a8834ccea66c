# Installs the build into a fresh prefix, checks that every installed header
# compiles on its own as <norv/...> from that prefix alone, builds the minimal
# host against the installed package twice (CMake package, pkg-config) and runs
# one export through each build (cmake -P).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/headers)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
file(GLOB pc_file ${prefix}/lib*/pkgconfig/Norv_RazizeRuveRO_DOS.pc ${prefix}/lib/*/pkgconfig/Norv_RazizeRuveRO_DOS.pc)
foreach(file lib/cmake/Norv_RazizeRuveRO_DOS/Norv_RazizeRuveRO_DOSConfig.cmake
             include/norv/core/client_bank.h include/norv/host/host_library.h
             include/norv/component/registration.h)
  if(NOT EXISTS ${WORK_DIR}/prefix/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(NOT pc_file)
  message(FATAL_ERROR "not installed: lib/pkgconfig/Norv_RazizeRuveRO_DOS.pc")
endif()

# Each installed header alone, with the installed include folder as the only
# project path: a header that reaches for one that was not installed fails here.
file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/norv/*.h)
list(LENGTH headers header_count)
if(header_count LESS 30)
  message(FATAL_ERROR "only ${header_count} headers installed under include/norv")
endif()
separate_arguments(extra_flags UNIX_COMMAND "${CXX_FLAGS}")
foreach(header IN LISTS headers)
  string(MAKE_C_IDENTIFIER ${header} stem)
  file(WRITE ${WORK_DIR}/headers/${stem}.cpp "#include <${header}>\n")
  run(${CXX_COMPILER} -std=c++20 -Wall -Wextra -Wpedantic -Werror -fsyntax-only
      -I${prefix}/include ${extra_flags} ${WORK_DIR}/headers/${stem}.cpp)
endforeach()
message(STATUS "${header_count} installed headers compile on their own")

# The host that a CMake user builds.
run(${CMAKE_COMMAND} -S ${HOST_SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# The same host built by hand with what pkg-config says.
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --cflags --libs Norv_RazizeRuveRO_DOS)
string(STRIP "${last_output}" pc_flags)
message(STATUS "pkg-config: ${pc_flags}")
separate_arguments(pc_args UNIX_COMMAND "${pc_flags}")
# The paths are relative to the .pc file's folder; they must lead into the prefix.
set(pc_include "")
set(pc_lib "")
foreach(arg IN LISTS pc_args)
  if(arg MATCHES "^-I(.*)")
    get_filename_component(pc_include ${CMAKE_MATCH_1} REALPATH)
  elseif(arg MATCHES "^-L(.*)")
    get_filename_component(pc_lib ${CMAKE_MATCH_1} REALPATH)
  endif()
endforeach()
get_filename_component(real_prefix ${prefix} REALPATH)
if(NOT pc_include STREQUAL "${real_prefix}/include" OR NOT pc_lib MATCHES "^${real_prefix}/lib"
   OR NOT pc_flags MATCHES "-lNorv_RazizeRuveRO_DOS")
  message(FATAL_ERROR "pkg-config gives ${pc_flags}")
endif()
run(${CXX_COMPILER} -std=c++20 ${extra_flags} ${HOST_SOURCE_DIR}/minimal_host.cpp ${pc_args}
    -o ${WORK_DIR}/minimal_host_pc)

function(export_one_payment program out)
  file(MAKE_DIRECTORY ${out})
  run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${pc_dir}/.. ${program} ${out})
  message(STATUS "${last_output}")
  # Compared as hex: a text read would lose the CR of the line end.
  file(READ ${out}/240131.mok written HEX)
  string(HEX "125,2024.01.15,,,70440,LT123456789012345678,1234.50,EUR,,Tiekejas,,LT876543210987654321,,,\r\n" expected)
  if(NOT written STREQUAL expected)
    message(FATAL_ERROR "${program}: 240131.mok holds ${written}, expected ${expected} (hex)")
  endif()
endfunction()
export_one_payment(${WORK_DIR}/build/minimal_host ${WORK_DIR}/out)
export_one_payment(${WORK_DIR}/minimal_host_pc ${WORK_DIR}/out_pc)
