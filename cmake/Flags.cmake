# Shared compile flags for every target of the project. -Wnull-dereference is
# left out: GCC 12 reports it falsely inside libstdc++ stream iterators at -O2.
option(MISSIVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(MISSIVO_WERROR "Treat warnings as errors" ON)

add_library(missivo_flags INTERFACE)
target_compile_features(missivo_flags INTERFACE cxx_std_20)
target_compile_options(missivo_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Wunused -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
  $<$<BOOL:${MISSIVO_WERROR}>:-Werror>)
target_compile_definitions(missivo_flags INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

if(MISSIVO_SANITIZE)
  target_compile_options(missivo_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(missivo_flags INTERFACE -fsanitize=address,undefined)
endif()
