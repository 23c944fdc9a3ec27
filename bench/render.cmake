# Drawing speed: boundaries on the sample data and on one huge polygon, the labelled grid,
# and a whole render with saving.
file(GLOB bench_render_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/render_*.cpp")
add_executable(bench_render ${bench_render_sources})
target_link_libraries(bench_render PRIVATE gridloom_render benchmark::benchmark benchmark::benchmark_main)
target_compile_definitions(bench_render PRIVATE GRIDLOOM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
set_target_properties(bench_render PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
