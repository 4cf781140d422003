# Unit tests of the inspection tools.
qor_unit_test(inspect_search_index SOURCES inspect_search_index_test.cpp)
target_include_directories(inspect_search_index PRIVATE ${CMAKE_SOURCE_DIR}/sdk/examples/inspect)
