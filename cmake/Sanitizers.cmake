# AddressSanitizer + UndefinedBehaviorSanitizer for the asan preset: every target
# gets them, so a fault in any layer stops the test that reached it.
if(TALLIVOS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
