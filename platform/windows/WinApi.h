// The Windows API headers, for every Windows-only file (the platform's, the native window's
// and the About box's).
//
// windows.h defines as macros several names our portable headers declare as constants and
// functions of their own (with the same values, since ours follow Windows): the attribute
// bits, the registry roots and value types, the version-block constants, the colour parts
// (GetRValue, ...), and the A/W switches GetFileAttributes, SetFileAttributes, DrawText
// and TextOut. Those macros are removed here, so that
// the portable headers may be included before or after this one and mean what they say; the
// headers that declare those names are included here, for the files that use them.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef GetFileAttributes
#undef SetFileAttributes
#undef FILE_ATTRIBUTE_READONLY
#undef FILE_ATTRIBUTE_DIRECTORY
#undef FILE_ATTRIBUTE_DEVICE
#undef FILE_ATTRIBUTE_NORMAL
#undef INVALID_FILE_ATTRIBUTES
#undef HKEY_CURRENT_USER
#undef HKEY_LOCAL_MACHINE
#undef REG_NONE
#undef REG_SZ
#undef REG_EXPAND_SZ
#undef REG_BINARY
#undef REG_DWORD
#undef REG_MULTI_SZ
#undef VS_FFI_SIGNATURE
#undef VS_FFI_STRUCVERSION
#undef VS_FF_DEBUG
#undef VS_FF_PRERELEASE
#undef VS_FF_PATCHED
#undef VS_FF_PRIVATEBUILD
#undef VS_FF_INFOINFERRED
#undef VS_FF_SPECIALBUILD
#undef VOS__WINDOWS32
#undef VFT_APP
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef RGB
#undef DrawText
#undef TextOut

// Our own names for what the macros stood for.
#include "platform/FileAttributes.h"
#include "platform/Registry.h"
#include "platform/RegistryDocument.h"
#include "platform/VersionBlock.h"
