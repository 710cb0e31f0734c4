# Native build: the portable core and its unit tests over in-memory fakes.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB ZLV_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(zlv_unit_tests ${ZLV_UNIT_TESTS})
target_include_directories(zlv_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(zlv_unit_tests PRIVATE zlv_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(zlv_unit_tests DISCOVERY_TIMEOUT 30)

# Timing of the InfoLog reader against a plain read and split; run by hand.
add_executable(infolog_bench ${CMAKE_SOURCE_DIR}/bench/InfoLogBench.cpp)
target_link_libraries(infolog_bench PRIVATE zlv_core)
