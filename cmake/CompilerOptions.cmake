# Warning and sanitizer flags shared by every target of the project.

function(tailmend_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${TAILMEND_WERROR}>:-Werror>)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
endfunction()

if(TAILMEND_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Everything a fuzz target links is instrumented for libFuzzer's coverage and checked by both
# sanitizers; the targets themselves add libFuzzer's main.
if(TAILMEND_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
