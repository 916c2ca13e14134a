# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of the program, ground floor first. Each folder is a static
# library that links only to the folders below it, and a build step checks
# every include of the folder, so a file that reaches upward stops the build
# instead of quietly tying two layers together.
set(VANTOR_LAYER_FOLDERS base formats convert series analysis view ui cli python)

# vantor_layer(FOLDER [BELOW folder...] [OPTIONAL_BELOW folder...] [LINK target...] [SOURCES file...])
# Without SOURCES every .cpp of the folder is compiled. OPTIONAL_BELOW names
# layers below that the folder may include without linking them: a layer
# that is not always built, used only by files compiled into a target of
# their own (the command line's `plot` and the chart library).
function(vantor_layer folder)
  cmake_parse_arguments(L "" "" "BELOW;OPTIONAL_BELOW;LINK;SOURCES" ${ARGN})
  set(dir ${CMAKE_SOURCE_DIR}/${folder})
  if(NOT L_SOURCES)
    file(GLOB L_SOURCES CONFIGURE_DEPENDS ${dir}/*.cpp)
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  add_library(vantor_${folder} STATIC ${L_SOURCES} ${headers})
  target_include_directories(vantor_${folder} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(lower ${L_BELOW})
    target_link_libraries(vantor_${folder} PUBLIC vantor_${lower})
  endforeach()
  target_link_libraries(vantor_${folder} PUBLIC ${L_LINK})

  set(stamp ${CMAKE_BINARY_DIR}/layers/${folder}.checked)
  file(GLOB all_files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  string(REPLACE ";" "," allowed "${folder};${L_BELOW};${L_OPTIONAL_BELOW}")
  string(REPLACE ";" "," folders "${VANTOR_LAYER_FOLDERS}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -DALLOWED=${allowed} -DFOLDERS=${folders} -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    DEPENDS ${all_files} ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking that ${folder}/ includes only from the layers below it")
  add_custom_target(vantor_${folder}_includes DEPENDS ${stamp})
  add_dependencies(vantor_${folder} vantor_${folder}_includes)
endfunction()
