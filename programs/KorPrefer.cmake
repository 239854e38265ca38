# KorPrefer, the preferences program: edits the settings that the editor and the player share.
add_executable(KorPrefer ${CMAKE_CURRENT_LIST_DIR}/KorPrefer.cpp)
target_link_libraries(KorPrefer PRIVATE orvaline_preferences_ui orvaline_bureau)
# Its help, beside the program, where the help layer looks for it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/aide/KorPrefer.html ${CMAKE_CURRENT_BINARY_DIR}/KorPrefer.html COPYONLY)
