# tvx_add_test(NAME [QT] SOURCES ... LIBS ...): one GoogleTest executable
# registered with CTest. QT tests get a main() that creates a QApplication
# (offscreen) before running the tests. Each test is labelled with its
# executable's name. The sanitizers' options come from the test presets.
# The simulated adapter publishes nothing on the desktop's sound server
# (TVXUSB_AUDIO=0); the sound-server tests start a private one and turn it on.
# Each property holds one value: the discovery step splits a list given as
# one value at its semicolons into property names, which loses the labels
# (and with them the test presets' label filters) and the timeout.
find_package(GTest REQUIRED)
include(GoogleTest)

function(tvx_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(T_QT)
    target_link_libraries(${name} PRIVATE tvx_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION "TVXUSB_AUDIO=set:0"
               LABELS ${name} TIMEOUT 120)
endfunction()
