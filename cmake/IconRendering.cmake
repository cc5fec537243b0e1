# orbet_render_icon(SVG OUTPUT_DIR NAME_PATTERN OUT_VAR SIZES...): renders the
# drawing to a PNG per size with rsvg-convert at build time. NAME_PATTERN
# names each file below OUTPUT_DIR, with @SIZE@ standing for the size.
find_program(ORBET_RSVG_CONVERT rsvg-convert REQUIRED)
function(orbet_render_icon svg output_dir name_pattern out_var)
  set(pngs)
  foreach(size ${ARGN})
    string(REPLACE "@SIZE@" "${size}" name "${name_pattern}")
    set(png ${output_dir}/${name})
    get_filename_component(folder ${png} DIRECTORY)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${ORBET_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
      DEPENDS ${svg} VERBATIM)
    list(APPEND pngs ${png})
  endforeach()
  set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()
