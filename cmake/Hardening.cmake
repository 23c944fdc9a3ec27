# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all):
# checked string and memory functions where the compiler knows the sizes, stack
# protection, and a relocation table made read-only and bound when the program starts.
# ELF only; left out of sanitizer builds, whose own checks take the place of the first.
option(GRIDLOOM_HARDEN "Build with the distribution's hardening flags" ON)
if(GRIDLOOM_HARDEN AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT GRIDLOOM_SANITIZE)
    # The checked functions need optimisation; a Debug build would only be warned.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
