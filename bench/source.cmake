# The cost of system 9's GStreamer bridge: the library's API against fakesink, one pipeline.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GST_BENCH REQUIRED IMPORTED_TARGET gstreamer-1.0)
add_executable(source_bridge_bench ${CMAKE_CURRENT_SOURCE_DIR}/source_bridge_bench.cpp)
target_link_libraries(source_bridge_bench PRIVATE qorlib3 PkgConfig::GST_BENCH)
