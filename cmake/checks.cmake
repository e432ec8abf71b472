# Builds that look for faults rather than ship: every target with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the libFuzzer
# programs under tests/fuzz (these need clang).
option(ZOFRIN_SANITIZE "Build every target with AddressSanitizer and UBSan" OFF)
option(ZOFRIN_FUZZ "Build the libFuzzer programs (needs clang and BUILD_TESTING)" OFF)

if(ZOFRIN_SANITIZE)
  # Undefined behaviour stops the program, so a test cannot pass over it;
  # the standard library checks its own preconditions too.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined)
endif()

if(ZOFRIN_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ZOFRIN_FUZZ needs clang: configure with CXX=clang++")
endif()
