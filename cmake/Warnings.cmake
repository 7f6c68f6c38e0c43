# One place for the warning flags; every target links veldrane_warnings.
add_library(veldrane_warnings INTERFACE)
target_compile_options(veldrane_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference -Wformat=2>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Wpedantic -Wshadow -Wformat=2>)

if(VELDRANE_SANITIZE)
  target_compile_options(veldrane_warnings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(veldrane_warnings INTERFACE -fsanitize=address,undefined)
endif()
