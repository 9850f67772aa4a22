# The second build of `make test` and the fuzzing build of `make fuzz`.
option(LUNEX_SANITIZE "Build with AddressSanitizer, LeakSanitizer and UBSan" OFF)
option(LUNEX_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only)" OFF)

# Any report ends the process with an error, so a finding fails its test.
set(LUNEX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)

if(LUNEX_SANITIZE)
    add_compile_options(${LUNEX_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()

if(LUNEX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "LUNEX_FUZZ needs clang (libFuzzer); configure with CXX=clang++-14")
    endif()
    # Coverage for the fuzzer in everything; its main() only in the targets.
    add_compile_options(${LUNEX_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=address,undefined)
endif()
