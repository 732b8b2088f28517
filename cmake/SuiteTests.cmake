include(GoogleTest)

# One test program per folder: every tests/*_test.cpp beside the code, registered test by test
# under the deliverable's label. Each test runs in its own process with its own temporary folder.
function(vkt_add_test_suite name label)
  vkt_add_suite_with_main(${name} ${label} vkt_test_main ${ARGN})
endfunction()

# The same for a folder whose tests need a QApplication (made by the Qt test main).
function(vkt_add_qt_test_suite name label)
  vkt_add_suite_with_main(${name} ${label} vkt_test_main_qt ${ARGN})
endfunction()

function(vkt_add_suite_with_main name label main)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${main} vkt_warnings ${ARGN})
  # Fixture files beside the tests are found through this folder.
  target_compile_definitions(${name} PRIVATE VKT_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${label} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A libFuzzer target, built only when fuzzing is asked for with clang.
function(vkt_add_fuzzer name source)
  if(NOT VKT_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

# A test under a real X server (xvfb-run) that shows windows and keeps a screenshot of them as
# build/artifacts/<artifact>, linked with the libraries named after the artifact.
find_program(XVFB_RUN xvfb-run)
function(vkt_add_xvfb_screenshot target test source artifact)
  add_executable(${target} ${source})
  target_link_libraries(${target} PRIVATE vkt_test_main_qt vkt_warnings ${ARGN})
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/artifacts)
  add_test(NAME ${test} COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${target}>)
  set_tests_properties(${test} PROPERTIES LABELS framework
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;VKT_SCREENSHOT_PATH=${PROJECT_BINARY_DIR}/artifacts/${artifact}")
endfunction()
