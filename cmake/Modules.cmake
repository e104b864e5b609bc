# One static library per source folder. Sources are every .cpp/.h in the folder
# (not below it), so adding a file needs no edit here.
#
#   add_module(<target> DEPS <targets...> [ALONE <files...>])
#
# ALONE names the sources that a unity build (CONSIGN_UNITY) compiles on their
# own: files whose file-local names repeat those of another file of the folder.
function(add_module target)
  cmake_parse_arguments(M "" "" "DEPS;ALONE" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${target} STATIC ${_src})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${M_DEPS})
  if(CONSIGN_PCH)
    target_link_libraries(${target} PUBLIC ${CONSIGN_PCH_QT})
    target_precompile_headers(${target} REUSE_FROM consign_pch)
  endif()
  consign_compile_alone(${M_ALONE})
endfunction()

function(consign_compile_alone)
  foreach(_f IN LISTS ARGN)
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${_f} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()

# All tests/<module>/*_test.cpp of a folder link into one test program,
# test_<prefix>, with the listed targets and the test support. Each file is
# still a CTest test of its own, <prefix>.<file>: the program runs with
# --test-file=<file> and then runs only the tests written in that file, in a
# process (and so a cloned database) of its own, as before. Run the program
# without that option for the whole folder, or with --gtest_filter as usual.
#
#   add_module_tests(<prefix> DEPS <targets...> [LABELS <labels...>] [ALONE <files...>])
function(add_module_tests prefix)
  cmake_parse_arguments(T "" "" "DEPS;LABELS;ALONE" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  set(_exe test_${prefix})
  add_executable(${_exe} ${_tests})
  target_link_libraries(${_exe} PRIVATE ${T_DEPS} testsupport GTest::gtest GTest::gmock)
  if(CONSIGN_PCH)
    target_precompile_headers(${_exe} REUSE_FROM consign_test_pch)
  endif()
  consign_compile_alone(${T_ALONE})
  foreach(_t IN LISTS _tests)
    get_filename_component(_name ${_t} NAME_WE)
    add_test(NAME ${prefix}.${_name} COMMAND ${_exe} --test-file=${_name})
    set_tests_properties(${prefix}.${_name} PROPERTIES
      FIXTURES_REQUIRED pg
      LABELS "${prefix};${T_LABELS}"
      TIMEOUT 600
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TESTDB_ENV=${TESTDB_ENV_FILE};CONSIGN_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endforeach()
endfunction()
