# Orvaline, the quiz player: plays a questionnaire and reports the result to the score sheet.
add_executable(Orvaline ${CMAKE_CURRENT_LIST_DIR}/Orvaline.cpp)
target_link_libraries(Orvaline PRIVATE orvaline_player_ui orvaline_bureau)
