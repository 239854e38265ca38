# KorEdit, the card editor: creates, opens, edits and saves card files of every type and format.
add_executable(KorEdit ${CMAKE_CURRENT_LIST_DIR}/KorEdit.cpp)
target_link_libraries(KorEdit PRIVATE orvaline_editor_ui orvaline_bureau)
# Its help, beside the program, where the help layer looks for it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/aide/KorEdit.html ${CMAKE_CURRENT_BINARY_DIR}/KorEdit.html COPYONLY)
