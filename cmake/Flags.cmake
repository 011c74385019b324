# Shared compile flags for every target of the project. -Wnull-dereference is
# left out: GCC 12 reports it falsely inside libstdc++ stream iterators at -O2.
option(MISSIVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# Warnings are errors in Debug builds (the tests' build) and wherever CI asks
# for it (-DMISSIVO_WERROR=ON); a package built by a newer compiler does not
# fail on that compiler's new warnings.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(missivo_werror_default ON)
else()
  set(missivo_werror_default OFF)
endif()
option(MISSIVO_WERROR "Treat warnings as errors" ${missivo_werror_default})
option(MISSIVO_BUILD_FUZZ "Build the fuzz targets (clang only; instruments the whole build)" OFF)

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

# The fuzz build: every target is instrumented for libFuzzer's coverage and
# checked by AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz targets
# themselves link libFuzzer (fuzz/CMakeLists.txt).
if(MISSIVO_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MISSIVO_BUILD_FUZZ needs clang: configure a separate build folder "
                        "with -DCMAKE_CXX_COMPILER=clang++ (see fuzz/run.sh)")
  endif()
  target_compile_options(missivo_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  target_link_options(missivo_flags INTERFACE -fsanitize=address,undefined)
endif()
