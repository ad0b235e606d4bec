# The show capture: its parts, and the program run on the whole show.
find_package(PNG REQUIRED)

add_executable(show_units_tests show_units_test.cpp)
target_link_libraries(show_units_tests PRIVATE capture_show PNG::PNG GTest::gtest_main)
gtest_discover_tests(show_units_tests)

add_executable(show_cli_tests show_cli_test.cpp)
target_link_libraries(show_cli_tests PRIVATE capture_show PNG::PNG GTest::gtest_main)
target_compile_definitions(show_cli_tests PRIVATE
  CAPTURE_BINARY="$<TARGET_FILE:dxvornik85-capture>")
add_dependencies(show_cli_tests dxvornik85-capture)
# Whole-show runs take seconds each, more on a busy machine.
gtest_discover_tests(show_cli_tests PROPERTIES TIMEOUT 600)
