# KorServer, the score sheet: receives the players' results over TCP and saves them.
add_executable(KorServer ${CMAKE_CURRENT_LIST_DIR}/KorServer.cpp)
target_link_libraries(KorServer PRIVATE orvaline_scoresheet_ui orvaline_bureau)
# Its help, beside the program, where the help layer looks for it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/aide/KorServer.html ${CMAKE_CURRENT_BINARY_DIR}/KorServer.html COPYONLY)
