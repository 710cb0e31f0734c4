# Windows build: the manager exe, its test companions and the end-to-end tests.
if(NOT DEFINED ZLV_WIN_ARCH)
  message(FATAL_ERROR "Configure the Windows build with a toolchain file from cmake/")
endif()

# One static exe that needs nothing but system DLLs. No time stamp in the PE
# header, so two builds of one commit give the same bytes.
set(ZLV_WIN_LINK_FLAGS -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
set(ZLV_WIN_LIBS comctl32 shell32 ole32 advapi32 user32 gdi32 kernel32 version)
# The Windows XP API level: the headers refuse what only Vista and later have.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
# Source and build folders stay out of the objects, so a tree built elsewhere
# gives the same bytes.
set(ZLV_PATH_MAPS -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${ZLV_PATH_MAPS}>")
target_compile_options(zlv_core PRIVATE ${ZLV_PATH_MAPS})

# The oldest Windows each exe loads on, in the PE header: XP SP3 and Server 2003
# for i686, XP x64 and Server 2003 x64 for x86-64. The static winpthreads
# imports GetTickCount64, which they lack; its import is pointed at a stand-in
# that looks the function up at run time (src/platform/TickCount64_win.h).
if(ZLV_WIN_ARCH STREQUAL "x86")
  set(ZLV_MANIFEST_ARCH X86)
  set(ZLV_WIN_MINOR_VERSION 1)
  set(ZLV_TICK_COUNT_64_IMPORT "\"__imp__GetTickCount64@0\"=_zlvTickCount64Import")
else()
  set(ZLV_MANIFEST_ARCH amd64)
  set(ZLV_WIN_MINOR_VERSION 2)
  set(ZLV_TICK_COUNT_64_IMPORT "__imp_GetTickCount64=zlvTickCount64Import")
endif()
set(ZLV_EXE_LINK_FLAGS ${ZLV_WIN_LINK_FLAGS} -s
  -Wl,--major-os-version,5,--minor-os-version,${ZLV_WIN_MINOR_VERSION}
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,${ZLV_WIN_MINOR_VERSION}
  "-Wl,--defsym=${ZLV_TICK_COUNT_64_IMPORT}")
configure_file(${CMAKE_SOURCE_DIR}/res/manifest.xml.in ${CMAKE_BINARY_DIR}/res/manager.manifest @ONLY)
add_executable(ZemloLinkvaneManager WIN32 ${ZLV_WIN_SOURCES} ${CMAKE_SOURCE_DIR}/res/manager.rc)
target_include_directories(ZemloLinkvaneManager PRIVATE ${CMAKE_BINARY_DIR}/res ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(ZemloLinkvaneManager PRIVATE zlv_core ${ZLV_WIN_LIBS})
target_link_options(ZemloLinkvaneManager PRIVATE ${ZLV_EXE_LINK_FLAGS})
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/manager.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/res/manager.manifest;${CMAKE_SOURCE_DIR}/res/manager.ico;${CMAKE_SOURCE_DIR}/res/tray.ico")

# Win32 bodies of the portable layers, for test programs that exercise them directly.
set(ZLV_WIN_LAYER_SOURCES ${ZLV_WIN_SOURCES})
list(FILTER ZLV_WIN_LAYER_SOURCES EXCLUDE REGEX "WinMain_win\\.cpp$")
add_library(zlv_win STATIC ${ZLV_WIN_LAYER_SOURCES})
target_link_libraries(zlv_win PUBLIC zlv_core ${ZLV_WIN_LIBS})
target_include_directories(zlv_win PRIVATE ${CMAKE_SOURCE_DIR}/res)

# GoogleTest from Debian's sources, for tests that must run against the real Win32 API.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The stand-ins and benchmarks: every folder under demo and bench is one
# Windows program named after the folder.
file(GLOB ZLV_WIN_PROGRAMS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/demo/* ${CMAKE_SOURCE_DIR}/bench/*)
foreach(dir ${ZLV_WIN_PROGRAMS})
  if(IS_DIRECTORY ${dir})
    get_filename_component(name ${dir} NAME)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testbin)
    target_link_libraries(${name} PRIVATE zlv_win)
    target_link_options(${name} PRIVATE ${ZLV_WIN_LINK_FLAGS})
  endif()
endforeach()

# The Windows-side tests, run by tests/e2e/run.sh under Wine: one GoogleTest
# program for what is best proven in-process against the real API, and the
# end-to-end runner of tests/e2e/scenarios.txt.
file(GLOB ZLV_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/win_tests/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/svcit_tests/*.cpp)
add_executable(win_tests ${ZLV_WIN_TESTS})
target_link_libraries(win_tests PRIVATE zlv_win gtest gtest_main)
file(GLOB ZLV_RUNNER CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/zlvrun/*.cpp)
add_executable(zlvrun ${ZLV_RUNNER})
target_link_libraries(zlvrun PRIVATE comctl32 shell32 advapi32 user32 gdi32)
foreach(name win_tests zlvrun)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testbin)
  target_link_options(${name} PRIVATE ${ZLV_WIN_LINK_FLAGS})
endforeach()
