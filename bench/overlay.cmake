# The overlay's histogram count speed (Google Benchmark; meaningful in a release build).
add_executable(overlay_histogram_bench ${CMAKE_CURRENT_SOURCE_DIR}/overlay_histogram_bench.cpp)
target_link_libraries(overlay_histogram_bench PRIVATE qor_system_core benchmark::benchmark)
