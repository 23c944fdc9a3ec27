# Loading boundary data: record-dense files of many empty records, whose cost is the list's
# own overhead per segment.
file(GLOB bench_data_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/data_*.cpp")
add_executable(bench_data ${bench_data_sources})
target_link_libraries(bench_data PRIVATE gridloom_data benchmark::benchmark benchmark::benchmark_main)
set_target_properties(bench_data PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
