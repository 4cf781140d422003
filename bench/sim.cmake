# Frame delivery of the stand-in library (whole frame, row by row, plain memcpy).
add_executable(sim_delivery_bench ${CMAKE_CURRENT_SOURCE_DIR}/sim_delivery_bench.cpp)
target_link_libraries(sim_delivery_bench PRIVATE qorlib3 benchmark::benchmark)
