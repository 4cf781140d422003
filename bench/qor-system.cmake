# The viewer's frame-rate benchmark: the bare Allegro loop it is measured against
# (bench/viewer_fps.sh runs both under Xvfb).
add_executable(viewer_bare_loop ${CMAKE_CURRENT_SOURCE_DIR}/viewer_bare_loop.cpp)
target_include_directories(viewer_bare_loop PRIVATE ${ALLEGRO_INCLUDE_DIR})
target_link_libraries(viewer_bare_loop PRIVATE ${ALLEGRO_LIBRARY} m)
