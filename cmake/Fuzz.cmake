# libFuzzer targets (tests/fuzz/fuzz_*.cpp) over the portable core, built with
# clang in a tree of their own (build/fuzz) so the ordinary builds keep g++ and
# carry no sanitizer. The core is instrumented too: coverage inside it is what
# guides the fuzzer.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ZLV_FUZZ needs clang: pass -DCMAKE_CXX_COMPILER=clang++")
endif()

set(ZLV_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                   -fno-omit-frame-pointer -g)
target_compile_options(zlv_core PRIVATE ${ZLV_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)

file(GLOB ZLV_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source ${ZLV_FUZZ_TARGETS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz)
  target_compile_options(${name} PRIVATE ${ZLV_FUZZ_FLAGS} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE zlv_core)
endforeach()
