# The viewer's drawing benchmark (bench/viewer_draw.sh): the preloaded X request counter.
add_library(x_request_count MODULE ${CMAKE_CURRENT_SOURCE_DIR}/x_request_count.c)
set_target_properties(x_request_count PROPERTIES PREFIX "")
target_link_libraries(x_request_count PRIVATE ${CMAKE_DL_LIBS})
