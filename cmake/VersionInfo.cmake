# The version block our executables carry, made at build time from GridloomIdentity.cmake.
#
#   gridloom_embed_version_info(<target>)
#
# links the block into <target> as a section of its own (see platform/ExecutableImage.h),
# where the version API finds it (on Windows: as the program's version resource), and gives the target the generated header
# GridloomIdentity.h with the same values as C++ constants. Calling it twice for one
# target does nothing the second time.

set(GRIDLOOM_GENERATED_DIR "${PROJECT_BINARY_DIR}/generated")

function(gridloom_cpp_string out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# GridloomIdentity.h: the identity as constants, for the block builder, --version and the
# About box's notice.
function(gridloom_write_identity_header)
    string(REPLACE "." ";" parts "${GRIDLOOM_FILE_VERSION}")
    string(REPLACE "." ";" product_parts "${GRIDLOOM_PRODUCT_VERSION_NUMBER}")
    list(JOIN parts ", " file_version)
    list(JOIN product_parts ", " product_version)
    set(strings "")
    foreach(entry IN LISTS GRIDLOOM_VERSION_STRINGS)
        string(FIND "${entry}" "=" at)
        string(SUBSTRING "${entry}" 0 ${at} key)
        math(EXPR from "${at} + 1")
        string(SUBSTRING "${entry}" ${from} -1 value)
        gridloom_cpp_string(key "${key}")
        gridloom_cpp_string(value "${value}")
        string(APPEND strings "    {${key}, ${value}},\n")
    endforeach()
    foreach(name VERSION DEVELOPER TOWN EMAIL SUPPORT_ADDRESS WEB_SITE PRODUCT_NAME RELEASE_DATE)
        if(name STREQUAL "VERSION")
            gridloom_cpp_string(${name} "${GRIDLOOM_FILE_VERSION}")
        else()
            gridloom_cpp_string(${name} "${GRIDLOOM_${name}}")
        endif()
    endforeach()
    set(content "// Made by the build from cmake/GridloomIdentity.cmake; edit that file instead.
#pragma once

#include <cstdint>

namespace gridloom::identity {

inline constexpr const char* Version = ${VERSION};
inline constexpr const char* Developer = ${DEVELOPER};
inline constexpr const char* Town = ${TOWN};
inline constexpr const char* Email = ${EMAIL};
inline constexpr const char* SupportAddress = ${SUPPORT_ADDRESS};
inline constexpr const char* WebSite = ${WEB_SITE};
inline constexpr const char* ProductName = ${PRODUCT_NAME};
inline constexpr const char* ReleaseDate = ${RELEASE_DATE};

inline constexpr uint16_t FileVersion[4] = {${file_version}};
inline constexpr uint16_t ProductVersion[4] = {${product_version}};
inline constexpr uint32_t FileFlagsMask = ${GRIDLOOM_FILE_FLAGS_MASK};
inline constexpr uint32_t FileFlags = ${GRIDLOOM_FILE_FLAGS};
inline constexpr uint32_t FileOS = ${GRIDLOOM_FILE_OS};
inline constexpr uint32_t FileType = ${GRIDLOOM_FILE_TYPE};
inline constexpr uint32_t FileSubtype = ${GRIDLOOM_FILE_SUBTYPE};
inline constexpr uint32_t FileDate = ${GRIDLOOM_FILE_DATE};
inline constexpr uint16_t Language = ${GRIDLOOM_LANGUAGE};
inline constexpr uint16_t CodePage = ${GRIDLOOM_CODE_PAGE};

struct TStringValue {
    const char* Key;
    const char* Value;
};
inline constexpr TStringValue Strings[] = {
${strings}};

}  // namespace gridloom::identity
")
    # Written only when it changes, so that a new configure does not rebuild everything.
    set(header "${GRIDLOOM_GENERATED_DIR}/GridloomIdentity.h")
    set(old "")
    if(EXISTS "${header}")
        file(READ "${header}" old)
    endif()
    if(NOT old STREQUAL content)
        file(WRITE "${header}" "${content}")
    endif()
endfunction()
gridloom_write_identity_header()

if(WIN32)
    # Windows programs carry the block as their version resource, with the icon and the
    # manifest, compiled by the resource compiler.
    gridloom_write_resource_script("${GRIDLOOM_GENERATED_DIR}" "${PROJECT_SOURCE_DIR}/packaging/icons/gridloom.ico")
    add_library(gridloom_version_section OBJECT "${GRIDLOOM_GENERATED_DIR}/Gridloom.rc")
    target_include_directories(gridloom_version_section INTERFACE "${GRIDLOOM_GENERATED_DIR}")
    set_source_files_properties("${GRIDLOOM_GENERATED_DIR}/Gridloom.rc" PROPERTIES
        OBJECT_DEPENDS "${GRIDLOOM_GENERATED_DIR}/Gridloom.manifest;${PROJECT_SOURCE_DIR}/packaging/icons/gridloom.ico")
else()
    # The builder runs at build time and writes the block as the initialiser of an array placed
    # in the section; the array becomes part of each program that is given it.
    add_executable(gridloom-version-section "${CMAKE_CURRENT_LIST_DIR}/VersionSection.cpp")
    target_include_directories(gridloom-version-section PRIVATE "${GRIDLOOM_GENERATED_DIR}")
    target_link_libraries(gridloom-version-section PRIVATE gridloom_platform)

    set(GRIDLOOM_VERSION_SECTION_SOURCE "${GRIDLOOM_GENERATED_DIR}/VersionSection.cpp")
    add_custom_command(
        OUTPUT "${GRIDLOOM_VERSION_SECTION_SOURCE}"
        COMMAND gridloom-version-section "${GRIDLOOM_VERSION_SECTION_SOURCE}"
        DEPENDS gridloom-version-section "${GRIDLOOM_GENERATED_DIR}/GridloomIdentity.h"
        COMMENT "Making the version block")
    # An object library, not a static one: an archive member nothing refers to would be left
    # out of the program.
    add_library(gridloom_version_section OBJECT "${GRIDLOOM_VERSION_SECTION_SOURCE}")
    target_include_directories(gridloom_version_section INTERFACE "${GRIDLOOM_GENERATED_DIR}")
endif()

function(gridloom_embed_version_info target)
    get_target_property(done ${target} GRIDLOOM_VERSION_EMBEDDED)
    if(done)
        return()
    endif()
    set_target_properties(${target} PROPERTIES GRIDLOOM_VERSION_EMBEDDED ON)
    target_link_libraries(${target} PRIVATE gridloom_version_section)
endfunction()
