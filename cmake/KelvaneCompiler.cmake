# Compiler settings shared by every target of the project.
add_library(kelvane_options INTERFACE)
target_compile_options(kelvane_options INTERFACE -Wall -Wextra)
if(KELVANE_WERROR)
  target_compile_options(kelvane_options INTERFACE -Werror)
endif()

if(KELVANE_SANITIZE)
  set(KELVANE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                              -fno-omit-frame-pointer)
  add_compile_options(${KELVANE_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

# The processor-specific routines are compiled per function with target
# attributes; the baseline stays the plain x86-64 instruction set.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
