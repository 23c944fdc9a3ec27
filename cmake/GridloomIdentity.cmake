# The program's identity, written once. The version block in each executable, --version of
# the command-line tools, the desktop entry, the AppStream file and the Debian package all
# take their values from here. Included before project(), so that it sets the version too.

set(GRIDLOOM_FILE_VERSION 1.4.0.10)
set(GRIDLOOM_PRODUCT_VERSION_NUMBER 1.4.0.10)
set(GRIDLOOM_FILE_FLAGS_MASK 0x3F)
set(GRIDLOOM_FILE_FLAGS 0)
set(GRIDLOOM_FILE_OS 0x4)       # VOS__WINDOWS32
set(GRIDLOOM_FILE_TYPE 0x1)     # VFT_APP
set(GRIDLOOM_FILE_SUBTYPE 0)
set(GRIDLOOM_FILE_DATE 0)
set(GRIDLOOM_LANGUAGE 0x0809)   # English (United Kingdom)
set(GRIDLOOM_CODE_PAGE 1252)

# The developer, and how to reach them.
set(GRIDLOOM_DEVELOPER "Tarnwick")
set(GRIDLOOM_TOWN "Kellsmouth")
set(GRIDLOOM_EMAIL "software@tarnwick.example")
set(GRIDLOOM_SUPPORT_ADDRESS "skylune-subscribe@lists.tarnwick.example")
set(GRIDLOOM_WEB_SITE "www.tarnwick.example")
set(GRIDLOOM_PRODUCT_NAME "Skylune - Make master overlay")
set(GRIDLOOM_FILE_DESCRIPTION "Skylune - master overlay bitmap maker")
set(GRIDLOOM_RELEASE_DATE "2002 Apr 04")
set(GRIDLOOM_RELEASE_DATE_ISO "2002-04-04")

# The string table, in the block's order: "key=value" (no value may hold a semicolon).
set(GRIDLOOM_VERSION_STRINGS
    "CompanyName=${GRIDLOOM_DEVELOPER}, ${GRIDLOOM_TOWN}"
    "FileDescription=${GRIDLOOM_FILE_DESCRIPTION}"
    "FileVersion=${GRIDLOOM_FILE_VERSION}"
    "InternalName=Gridloom"
    "LegalCopyright=Copyright © 1998-2002 ${GRIDLOOM_DEVELOPER}"
    "OriginalFilename=Gridloom.exe"
    "ProductName=${GRIDLOOM_PRODUCT_NAME}"
    "ProductVersion=1.4"
    "Comments=${GRIDLOOM_RELEASE_DATE}"
    "Author=${GRIDLOOM_EMAIL}"
    "Web site=${GRIDLOOM_WEB_SITE}")

# The Windows resources of a program, from the values above: the VERSIONINFO block (the same
# values as the block our ELF programs carry), the program icon and the application manifest.
#   gridloom_write_resource_script(<folder> <icon file>)
# writes <folder>/Gridloom.rc and <folder>/Gridloom.manifest, each only when it changes.
# The manifest asks for common controls 6 and per-monitor DPI awareness. It names no
# activeCodePage, so that the program's 8-bit text stays in the system's code page like the
# rest of the program's text. The .rc is read in code page 1252, the block's own.
function(gridloom_write_resource_script folder icon)
    string(REPLACE "." "," file_version "${GRIDLOOM_FILE_VERSION}")
    string(REPLACE "." "," product_version "${GRIDLOOM_PRODUCT_VERSION_NUMBER}")
    set(table_language "${GRIDLOOM_LANGUAGE}")
    string(REGEX REPLACE "^0x" "" table_language "${table_language}")
    string(LENGTH "${table_language}" length)
    while(length LESS 4)
        set(table_language "0${table_language}")
        string(LENGTH "${table_language}" length)
    endwhile()
    math(EXPR code_page_hex "${GRIDLOOM_CODE_PAGE}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" code_page_hex "${code_page_hex}")
    string(TOUPPER "${code_page_hex}" code_page_hex)
    string(LENGTH "${code_page_hex}" length)
    while(length LESS 4)
        set(code_page_hex "0${code_page_hex}")
        string(LENGTH "${code_page_hex}" length)
    endwhile()
    set(values "")
    foreach(entry IN LISTS GRIDLOOM_VERSION_STRINGS)
        string(FIND "${entry}" "=" at)
        string(SUBSTRING "${entry}" 0 ${at} key)
        math(EXPR from "${at} + 1")
        string(SUBSTRING "${entry}" ${from} -1 value)
        string(REPLACE "\"" "\"\"" value "${value}")
        # The only character outside ASCII, as its code page 1252 byte.
        string(REPLACE "©" "\\251" value "${value}")
        string(APPEND values "            VALUE \"${key}\", \"${value}\\0\"\n")
    endforeach()
    file(TO_CMAKE_PATH "${icon}" icon)
    set(rc "// Made by the build from cmake/GridloomIdentity.cmake; edit that file instead.
#include <winver.h>

1 ICON \"${icon}\"
1 24 \"Gridloom.manifest\"

1 VERSIONINFO
FILEVERSION ${file_version}
PRODUCTVERSION ${product_version}
FILEFLAGSMASK ${GRIDLOOM_FILE_FLAGS_MASK}
FILEFLAGS ${GRIDLOOM_FILE_FLAGS}
FILEOS ${GRIDLOOM_FILE_OS}
FILETYPE ${GRIDLOOM_FILE_TYPE}
FILESUBTYPE ${GRIDLOOM_FILE_SUBTYPE}
BEGIN
    BLOCK \"StringFileInfo\"
    BEGIN
        BLOCK \"${table_language}${code_page_hex}\"
        BEGIN
${values}        END
    END
    BLOCK \"VarFileInfo\"
    BEGIN
        VALUE \"Translation\", ${GRIDLOOM_LANGUAGE}, ${GRIDLOOM_CODE_PAGE}
    END
END
")
    set(manifest "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>
<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">
  <assemblyIdentity type=\"win32\" name=\"${GRIDLOOM_DEVELOPER}.Gridloom\" version=\"${GRIDLOOM_FILE_VERSION}\" processorArchitecture=\"*\"/>
  <description>${GRIDLOOM_FILE_DESCRIPTION}</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>
    </dependentAssembly>
  </dependency>
  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">
    <application>
      <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>
      <supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>
      <supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>
      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>
      <supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>
    </application>
  </compatibility>
  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <windowsSettings>
      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>
      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>
    </windowsSettings>
  </application>
</assembly>
")
    foreach(pair "Gridloom.rc;rc" "Gridloom.manifest;manifest")
        list(GET pair 0 name)
        list(GET pair 1 variable)
        set(old "")
        if(EXISTS "${folder}/${name}")
            file(READ "${folder}/${name}" old)
        endif()
        if(NOT old STREQUAL "${${variable}}")
            file(WRITE "${folder}/${name}" "${${variable}}")
        endif()
    endforeach()
endfunction()
