# The test build runs everything under AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz
# build adds libFuzzer's coverage instrumentation to every library.
if(NIMBRA_SANITIZE OR NIMBRA_FUZZ)
  set(_nimbra_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  if(NIMBRA_FUZZ)
    list(APPEND _nimbra_san -fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(${_nimbra_san})
  add_link_options(-fsanitize=address,undefined)
endif()

# The thread-sanitizer build checks the code that runs on several threads at once.
if(NIMBRA_TSAN)
  if(NIMBRA_SANITIZE OR NIMBRA_FUZZ)
    message(FATAL_ERROR "ThreadSanitizer does not combine with AddressSanitizer or libFuzzer")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
