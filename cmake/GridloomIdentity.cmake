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
