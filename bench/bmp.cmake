# Writing BMP files: the viewer's row-gathering writer against Allegro's save_bmp.
add_executable(bmp_write_bench ${CMAKE_CURRENT_SOURCE_DIR}/bmp_write_bench.cpp)
target_link_libraries(bmp_write_bench PRIVATE qor_system_core benchmark::benchmark)
