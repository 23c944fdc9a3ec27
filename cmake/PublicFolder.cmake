# Each library exposes its own folder and nothing else of the source tree. Its users include
# its headers as "<folder>/<file>.h"; the include path it gives them is a folder in the build
# tree that holds one entry, a link of that name to the library's source folder. Code that
# includes a header of a library it does not link therefore fails to compile, which keeps
# the layers apart: nothing below the window can reach Qt parts or the window's headers.
#   gridloom_public_folder(<target>)   exports the folder of the calling CMakeLists.txt
function(gridloom_public_folder target)
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
    set(root "${PROJECT_BINARY_DIR}/include/${folder}")
    set(link "${root}/${folder}")
    get_filename_component(parent "${link}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    if(NOT IS_SYMLINK "${link}")
        file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${link}" SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC "${root}")
endfunction()
