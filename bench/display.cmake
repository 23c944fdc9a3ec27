# The window's image display: repaints of the fitted and full-size views, and a whole run
# started from the window (Qt's offscreen platform, so no screen is needed).
if(TARGET gridloom_app)
    add_executable(bench_display "${CMAKE_CURRENT_SOURCE_DIR}/display_benchmarks.cpp")
    target_link_libraries(bench_display PRIVATE gridloom_app benchmark::benchmark)
    target_compile_definitions(bench_display PRIVATE GRIDLOOM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set_target_properties(bench_display PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bench")
endif()
