# The whole generation run as the window starts it: load, draw, save read-only.
file(GLOB bench_run_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/run_*.cpp")
add_executable(bench_run ${bench_run_sources})
target_link_libraries(bench_run PRIVATE gridloom_run benchmark::benchmark benchmark::benchmark_main)
target_compile_definitions(bench_run PRIVATE GRIDLOOM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
set_target_properties(bench_run PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
