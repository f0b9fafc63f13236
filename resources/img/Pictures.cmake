# The editor's pictures: resource id = file name, relative to the project root.
set(VELMORA_PICTURES
  102=resources/img/bg.png
  104=resources/img/KEY_WHITE.png
  105=resources/img/KEY_BLACK.png
  119=resources/img/NEW_MELODY.png
  124=resources/img/Left.png
  125=resources/img/Right.png
  130=resources/img/Clear_Notes.png
  131=resources/img/Loose_Matches.png
  132=resources/img/Clear_Grid.png
  133=resources/img/Grid_Oct_Up.png
  134=resources/img/Grid_Oct_Down.png
  135=resources/img/inversion_control_0.png
  136=resources/img/inversion_control_1.png
  137=resources/img/inversion_control_2.png
  138=resources/img/inversion_control_3.png
  139=resources/img/inversion_control_4.png
  140=resources/img/inversion_control_5.png
  141=resources/img/RECORD.png
  142=resources/img/DRAG.png
  143=resources/img/DRAG_DIM.png
  144=resources/img/GRID_DRAG.png
)

# The same pictures drawn at 2x, each with its 1x id + 2000 (102 -> 2102;
# framework/graphics/raster/ImageLoader.h): the editor draws them at 200 %
# and shrinks them for 125 % to 175 %.
set(velmora_pictures_2x "")
foreach(entry IN LISTS VELMORA_PICTURES)
  if(NOT entry MATCHES "^([0-9]+)=resources/img/([^/]+)$")
    message(FATAL_ERROR "Pictures.cmake: '${entry}' is not <id>=resources/img/<file>")
  endif()
  math(EXPR id_2x "${CMAKE_MATCH_1} + 2000")
  list(APPEND velmora_pictures_2x "${id_2x}=resources/img/2x/${CMAKE_MATCH_2}")
endforeach()
list(APPEND VELMORA_PICTURES ${velmora_pictures_2x})

# velmora_embed_pictures(<target>): the pictures built into a module or a
# program, found by id (cmake/EmbedResources.cmake).
set_property(GLOBAL PROPERTY VELMORA_PICTURES ${VELMORA_PICTURES})
function(velmora_embed_pictures target)
  get_property(pictures GLOBAL PROPERTY VELMORA_PICTURES)
  velmora_embed_resources(TARGET ${target} NAME pictures BASE_DIR ${PROJECT_SOURCE_DIR} TABLE ${pictures})
endfunction()
