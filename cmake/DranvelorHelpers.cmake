# Compiler settings shared by every target of the project.

option(DRANVELOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(DRANVELOR_TSAN "Build with ThreadSanitizer" OFF)
option(DRANVELOR_FUZZ "Build with clang's fuzzer instrumentation (with ASan and UBSan)" OFF)
option(DRANVELOR_WERROR "Treat warnings as errors in the project's own code" ON)

if(WIN32)
  # Windows binaries carry their C and C++ runtimes: they import only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Sections on whole pages in the file: Wine then maps a binary as Windows does, touching only
  # the pages in use, instead of reading every section (all the skin's PNGs) into memory.
  add_link_options(-Wl,--file-alignment=0x1000)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
endif()

if(DRANVELOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(DRANVELOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(DRANVELOR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Warnings as errors for the project's own code.
function(dranvelor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(DRANVELOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# DSP code computes the same numbers on every target: no contraction, no fast-math.
function(dranvelor_strict_fp target)
  target_compile_options(${target} PRIVATE -ffp-contract=off -fno-fast-math)
endfunction()

# A GoogleTest program registered with CTest; Windows builds run it under Wine through the
# cross-compiling emulator. WINDOW marks tests that use the display, the pointer or the
# keyboard: they never run at the same time as each other.
function(dranvelor_add_test name)
  cmake_parse_arguments(ARG "WINDOW" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  dranvelor_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_WINDOW)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
  # A leak inside the system's font libraries is not ours to fix (tests/lsan.supp).
  if(DRANVELOR_SANITIZE)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
