# The editor's pictures: resource id = file name, relative to the project root.
# Embed them into the plug-in module once the artwork is here:
#   include(${PROJECT_SOURCE_DIR}/resources/img/Pictures.cmake)
#   velmora_embed_resources(TARGET <module> NAME pictures BASE_DIR ${PROJECT_SOURCE_DIR}
#                           TABLE ${VELMORA_PICTURES})
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
)
