# Settings file speed: parsing, writing and storing into large registry files.
file(GLOB bench_settings_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/settings_*.cpp")
add_executable(bench_settings ${bench_settings_sources})
target_link_libraries(bench_settings PRIVATE gridloom_settings benchmark::benchmark benchmark::benchmark_main)
set_target_properties(bench_settings PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
