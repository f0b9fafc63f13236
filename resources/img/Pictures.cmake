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

# velmora_embed_pictures(<target>): the pictures built into a module or a
# program, found by id (cmake/EmbedResources.cmake).
set_property(GLOBAL PROPERTY VELMORA_PICTURES ${VELMORA_PICTURES})
function(velmora_embed_pictures target)
  get_property(pictures GLOBAL PROPERTY VELMORA_PICTURES)
  velmora_embed_resources(TARGET ${target} NAME pictures BASE_DIR ${PROJECT_SOURCE_DIR} TABLE ${pictures})
endfunction()
