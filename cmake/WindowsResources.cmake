# The Windows programs' icon, drawn from the program's SVG at build time, and
# quenmora_windows_resources(TARGET DESCRIPTION), which links it into TARGET with a version
# resource carrying the project's version.
enable_language(RC)
find_program(QUENMORA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(QUENMORA_IMAGEMAGICK_CONVERT convert REQUIRED)

set(QUENMORA_ICO ${PROJECT_BINARY_DIR}/generated/quenmora.ico)
set(icon_svg ${PROJECT_SOURCE_DIR}/app/qt/quenmora.svg)
set(icon_dir ${PROJECT_BINARY_DIR}/generated/ico)
set(icon_commands)
set(icon_pngs)
# The sizes Explorer and the taskbar show at 100 % to 200 % scaling.
foreach(size 16 20 24 32 40 48 64 256)
  list(APPEND icon_commands COMMAND ${QUENMORA_RSVG_CONVERT} -w ${size} -h ${size}
    -o ${icon_dir}/${size}.png ${icon_svg})
  list(APPEND icon_pngs ${icon_dir}/${size}.png)
endforeach()
add_custom_command(OUTPUT ${QUENMORA_ICO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
  ${icon_commands}
  COMMAND ${QUENMORA_IMAGEMAGICK_CONVERT} ${icon_pngs} ${QUENMORA_ICO}
  DEPENDS ${icon_svg} VERBATIM)
add_custom_target(quenmora_ico DEPENDS ${QUENMORA_ICO})

function(quenmora_windows_resources target description)
  set(QUENMORA_RC_TARGET ${target})
  set(QUENMORA_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QUENMORA_ICO})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} quenmora_ico)
endfunction()
