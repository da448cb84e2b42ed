# Shared build helpers: the Objective-C runtime and one helper per kind of test target.

# GCC keeps libobjc in its own library directory; ask the compiler where, with the build's flags
# (-m32 picks the 32-bit one).
separate_arguments(vorla_cxx_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${vorla_cxx_flags} -print-file-name=libobjc.so
                OUTPUT_VARIABLE VORLA_OBJC_LIBRARY OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT EXISTS "${VORLA_OBJC_LIBRARY}" OR NOT IS_ABSOLUTE "${VORLA_OBJC_LIBRARY}")
  message(FATAL_ERROR "libobjc not found for ${CMAKE_CXX_COMPILER}: run scripts/deps")
endif()
# The runtime tweak/host/ is written for: GCC's own (gnu), or the device's public C API (device),
# which runs here on GCC's runtime completed by standin/objc_device_api, linked before libobjc in
# every process so that its functions are the ones found.
set(VORLA_RUNTIME gnu CACHE STRING "The runtime tweak/host/ is written for: gnu or device")
set_property(CACHE VORLA_RUNTIME PROPERTY STRINGS gnu device)
if(NOT VORLA_RUNTIME MATCHES "^(gnu|device)$")
  message(FATAL_ERROR "VORLA_RUNTIME is gnu or device, not ${VORLA_RUNTIME}")
endif()
add_library(vorla_objc INTERFACE)
if(VORLA_RUNTIME STREQUAL "device")
  # Needed even by a program that calls none of its functions itself: the runtime's names must
  # find this library's before libobjc's (the compiler's default --as-needed would drop it).
  set(CMAKE_LINK_LIBRARY_USING_vorla_always
      "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
  set(CMAKE_LINK_LIBRARY_USING_vorla_always_SUPPORTED TRUE)
  target_link_libraries(vorla_objc INTERFACE
                        "$<LINK_LIBRARY:vorla_always,vorla-objc-device-api>")
  # For every file, so that no two of one program see different runtimes in tweak/host/'s headers.
  add_compile_definitions(VORLA_DEVICE_RUNTIME)
endif()
target_link_libraries(vorla_objc INTERFACE ${VORLA_OBJC_LIBRARY})

# vorla_add_test(NAME [PREFIX P] SOURCES ... LIBS ...): one GoogleTest executable registered with
# CTest, its tests named P followed by the test's own name when PREFIX is given. Its tests are
# listed when CTest runs rather than when it is built, so that a sanitizer build lists them under
# its test preset's options (LeakSanitizer's suppressions among them).
function(vorla_add_test name)
  cmake_parse_arguments(ARG "" "PREFIX" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Listed when CTest runs, so the listing runs with the test environment (sanitizer options).
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                       TEST_PREFIX "${ARG_PREFIX}"
                       PROPERTIES ENVIRONMENT "VORLA_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()
