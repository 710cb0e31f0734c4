# Native build: the portable core and its unit tests over in-memory fakes. The
# core is built with the address and undefined-behaviour sanitizers here, so
# every table of odd input also checks that nothing reads or writes astray.
set(ZLV_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined)
target_compile_options(zlv_core PRIVATE ${ZLV_SANITIZE})
target_link_options(zlv_core INTERFACE ${ZLV_SANITIZE})
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB ZLV_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(zlv_unit_tests ${ZLV_UNIT_TESTS})
target_compile_options(zlv_unit_tests PRIVATE ${ZLV_SANITIZE})
target_include_directories(zlv_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(zlv_unit_tests PRIVATE zlv_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(zlv_unit_tests DISCOVERY_TIMEOUT 30)

# Timing of the InfoLog reader against a plain read and split; run by hand. It
# times the core as shipped: the same sources and optimisation, no sanitizers,
# which would double its figures.
add_library(zlv_core_plain STATIC ${ZLV_CORE_SOURCES})
target_include_directories(zlv_core_plain PUBLIC ${CMAKE_SOURCE_DIR}/src)
add_executable(infolog_bench ${CMAKE_SOURCE_DIR}/bench/InfoLogBench.cpp)
target_link_libraries(infolog_bench PRIVATE zlv_core_plain)
