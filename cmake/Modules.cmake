# One static library per source folder. Sources are every .cpp/.h in the folder
# (not below it), so adding a file needs no edit here.
#
#   add_module(<target> DEPS <targets...>)
function(add_module target)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${target} STATIC ${_src})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${M_DEPS})
endfunction()

# Every tests/<module>/*_test.cpp becomes its own test program (one process,
# one cloned database), linked with the listed targets and the test support.
#
#   add_module_tests(<prefix> DEPS <targets...> [LABELS <labels...>])
function(add_module_tests prefix)
  cmake_parse_arguments(T "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(_t IN LISTS _tests)
    get_filename_component(_name ${_t} NAME_WE)
    set(_exe test_${prefix}_${_name})
    add_executable(${_exe} ${_t})
    target_link_libraries(${_exe} PRIVATE ${T_DEPS} testsupport GTest::gtest GTest::gmock)
    add_test(NAME ${prefix}.${_name} COMMAND ${_exe})
    set_tests_properties(${prefix}.${_name} PROPERTIES
      FIXTURES_REQUIRED pg
      LABELS "${prefix};${T_LABELS}"
      TIMEOUT 600
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TESTDB_ENV=${TESTDB_ENV_FILE};CONSIGN_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endforeach()
endfunction()
