// Boundary data that yielded no segment is one of two things. Either there is no data: no
// file, or a file holding a valid empty list (a lone terminator record), for which a download
// is the answer. Or there is a file, but nothing in it could be read (no bytes at all, or
// damage at its very start), which a download would not explain: the user is told where the
// reading stopped, as for any damaged data.
#pragma once

#include <optional>
#include <string>

#include "data/Cartography.h"

namespace gridloom {

// Why a load that kept no segment read nothing from a file that is there, as a phrase for
// the damaged-data message; none when the data is simply missing.
inline std::optional<std::string> NothingReadable(const TLoadReport& loaded) {
    if (loaded.File != TLoadReport::TFile::Read) return std::nullopt;
    if (loaded.Damaged) return loaded.Damage;
    if (loaded.DataSize == 0) return std::string("the file is empty");
    return std::nullopt;
}

}  // namespace gridloom
