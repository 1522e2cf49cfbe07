# Run by the test `layering` (see CMakeLists.txt beside this file).
# FORBIDDEN: target=header pairs that must fail to compile, the header not found.
# ALLOWED: targets that must compile. Both lists come "|"-separated.
string(REPLACE "|" ";" FORBIDDEN "${FORBIDDEN}")
string(REPLACE "|" ";" ALLOWED "${ALLOWED}")
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${ALLOWED}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "A layer cannot include the layers it stands on:\n${out}")
endif()

set(targets "")
foreach(pair ${FORBIDDEN})
  string(REGEX REPLACE "=.*" "" target "${pair}")
  list(APPEND targets ${target})
endforeach()
# -k 0: every probe is compiled, whatever the others come to.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${targets} -- -k 0
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
set(failures "")
foreach(pair ${FORBIDDEN})
  string(REGEX REPLACE "^([^=]*)=(.*)$" "\\1;\\2" parts "${pair}")
  list(GET parts 0 target)
  list(GET parts 1 header)
  string(REPLACE "layer_probe_" "" probe "${target}")
  # gcc: "up_x_y.cpp:1:10: fatal error: core/A.h: No such file or directory";
  # clang: "up_x_y.cpp:1:10: fatal error: 'core/A.h' file not found".
  string(REGEX MATCH "${probe}\\.cpp:1:[0-9]+: fatal error: '?${header}'?:? (No such file or directory|file not found)" hit "${out}")
  if(NOT hit)
    list(APPEND failures "${probe} (${header})")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "An include across the layers was not refused: ${failures}\n${out}")
endif()

# A relative include would reach any layer whatever the include path says.
file(GLOB_RECURSE sources ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h)
foreach(f ${sources})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
  if(lines)
    message(FATAL_ERROR "${f} includes by a relative path: ${lines}")
  endif()
endforeach()
list(LENGTH FORBIDDEN n)
message(STATUS "${n} includes across the layers refused")
