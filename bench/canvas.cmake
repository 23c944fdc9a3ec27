# Canvas speed: polygon fill and outline, lines, reset and saving the master image.
file(GLOB bench_canvas_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/canvas_*.cpp")
add_executable(bench_canvas ${bench_canvas_sources})
target_link_libraries(bench_canvas PRIVATE gridloom_render benchmark::benchmark)
set_target_properties(bench_canvas PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
