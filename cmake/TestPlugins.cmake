# The project's own test decoder (tests/pluginhost/fixtures/TestDecoder.c)
# built as a native plug-in and, with the MinGW-w64 cross compilers, as a
# Windows Susie plug-in, for the tests and the benchmarks.
enable_language(C)
set(ORBET_TEST_DECODER ${CMAKE_SOURCE_DIR}/tests/pluginhost/fixtures/TestDecoder.c)
# One optimisation level for both forms, whatever the build type, so the
# benchmark compares the routes rather than the compilers' settings.
set(ORBET_TEST_DECODER_OPTIMISATION -O2)

# orbet_native_test_plugin(<target> <output file> <folder> <definitions...>)
function(orbet_native_test_plugin target output folder)
  add_library(${target} MODULE ${ORBET_TEST_DECODER})
  target_compile_definitions(${target} PRIVATE ${ARGN})
  target_compile_options(${target} PRIVATE ${ORBET_TEST_DECODER_OPTIMISATION})
  get_filename_component(stem ${output} NAME_WE)
  get_filename_component(suffix ${output} EXT)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${stem} PREFIX "" SUFFIX ${suffix} LIBRARY_OUTPUT_DIRECTORY ${folder}
    C_STANDARD 11 C_VISIBILITY_PRESET hidden AUTOMOC OFF)
endfunction()

# orbet_windows_test_plugin(<target> <i686|x86_64> <output file> <folder> <definitions...>)
function(orbet_windows_test_plugin target arch output folder)
  set(defines)
  foreach(definition ${ARGN})
    list(APPEND defines -D${definition})
  endforeach()
  add_custom_command(OUTPUT ${folder}/${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${arch}-w64-mingw32-gcc -std=c11 ${ORBET_TEST_DECODER_OPTIMISATION} -Wall -Wextra -shared -static-libgcc -s
            -Wl,--kill-at ${defines} -o ${folder}/${output} ${ORBET_TEST_DECODER}
    DEPENDS ${ORBET_TEST_DECODER}
    COMMENT "Windows test plug-in ${output}" VERBATIM)
  add_custom_target(${target} DEPENDS ${folder}/${output})
endfunction()
