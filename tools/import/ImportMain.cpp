// gridloom-import: makes Countries.dat from GeoJSON files. See Usage below.
#include "GridloomIdentity.h"
#include "platform/OwnVersion.h"
#include "tools/import/BoundaryFile.h"
#include "tools/import/BoundaryImport.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Usage = R"(Usage: gridloom-import [-o OUTPUT] INPUT...

Makes a boundary file (Countries.dat) for Gridloom from GeoJSON files.

Each INPUT is an option naming the kind of its file's segments, then the file:
  --land FILE          areas of land, filled green (kind 0)
  --land-in-lake FILE  islands in lakes, filled green (kind 4)
  --water FILE         lakes and inland seas, filled navy (kind 8)
  --border FILE        country borders, drawn as lines (kind 1)
  --state-border FILE  state or province borders, drawn as lines (kind 5)
  --water-line FILE    rivers and shorelines, drawn as lines (kind 9)
  --kind N FILE        any kind code N from 0 to 255 (odd: lines, even: areas;
                       only 0, 1, 4, 5, 8 and 9 are drawn)

Other options:
  -o, --output FILE    the file to write (default: Countries.dat); it is replaced
                       whole or not at all
  -q, --quiet          no summary line
  -h, --help           this text
  --version            the version, then stop

Files are written in the order given, so later ones paint over earlier ones: give
land first, then water, islands in lakes, and borders last. Each file may hold a
FeatureCollection, a Feature, a GeometryCollection or a bare geometry. Polygons and
multipolygons make areas (holes in land become water), line strings and
multi-line strings make lines; polygons given a line kind make their outlines.
Coordinates are rounded to whole minutes of arc; rings and lines crossing the
180-degree meridian are cut there, and Antarctica is closed over the south pole.

Example:
  gridloom-import -o Countries.dat --land land.json --border borders.json \
      --state-border states.json

Exit status: 0 done, 1 bad data or a file that cannot be read or written
(nothing is written then), 2 wrong command line.
)";

struct Input {
    uint8_t Kind;
    std::string Path;
};

int UsageError(const std::string& message) {
    std::cerr << "gridloom-import: " << message << "\n"
              << "Try 'gridloom-import --help' for more information.\n";
    return 2;
}

// Text that never reached its reader, cut off by a full disk or a closed pipe, is a failure.
int Written() {
    if (std::cout.flush()) return 0;
    std::cerr << "gridloom-import: cannot write the output\n";
    return 1;
}

bool ParseKind(std::string_view text, uint8_t& kind) {
    if (text.empty() || text.size() > 3) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    kind = static_cast<uint8_t>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace gridloom::import;
    using gridloom::TBoundaryKind;
    const std::vector<std::pair<std::string_view, TBoundaryKind>> named = {
        {"--land", TBoundaryKind::Land},
        {"--land-in-lake", TBoundaryKind::LandInLake},
        {"--water", TBoundaryKind::Water},
        {"--border", TBoundaryKind::Border},
        {"--state-border", TBoundaryKind::StateBorder},
        {"--water-line", TBoundaryKind::WaterLine},
    };

    std::string output = "Countries.dat";
    bool quiet = false;
    std::vector<Input> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // The argument after an option, or null when the command line ends first.
        const auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "-h" || arg == "--help") {
            std::cout << Usage;
            return Written();
        }
        if (arg == "--version") {
            const std::string own = gridloom::OwnFileVersion();
            std::cout << "gridloom-import " << (own.empty() ? std::string(gridloom::identity::Version) : own) << "\n";
            return Written();
        }
        if (arg == "-q" || arg == "--quiet") {
            quiet = true;
            continue;
        }
        if (arg == "-o" || arg == "--output") {
            const char* path = next();
            if (!path) return UsageError(std::string(arg) + " needs a file name");
            output = path;
            continue;
        }
        if (arg == "--kind") {
            const char* code = next();
            uint8_t kind = 0;
            if (!code || !ParseKind(code, kind)) return UsageError("--kind needs a number from 0 to 255, then a file");
            const char* path = next();
            if (!path) return UsageError("--kind " + std::string(code) + " needs a file name");
            inputs.push_back({kind, path});
            continue;
        }
        bool matched = false;
        for (const auto& [name, kind] : named) {
            if (arg == name) {
                const char* path = next();
                if (!path) return UsageError(std::string(arg) + " needs a file name");
                inputs.push_back({gridloom::KindCode(kind), path});
                matched = true;
                break;
            }
        }
        if (!matched)
            return UsageError(arg.starts_with("-")
                                  ? "unknown option " + std::string(arg)
                                  : "'" + std::string(arg) + "': say what kind the file holds, e.g. --land " +
                                        std::string(arg));
    }
    if (inputs.empty()) return UsageError("no input files");

    const WarningSink warn = [](const std::string& line) {
        std::cerr << "gridloom-import: " << Printable(line) << "\n";
    };
    try {
        std::vector<BoundarySegment> segments;
        for (const Input& input : inputs) {
            if (input.Kind != 0 && input.Kind != 1 && input.Kind != 4 && input.Kind != 5 && input.Kind != 8 &&
                input.Kind != 9)
                warn("warning: kind " + std::to_string(input.Kind) + " of " + input.Path +
                     " is kept in the file but never drawn");
            ImportGeoJsonFile(input.Path, input.Kind, segments, warn);
        }
        if (segments.empty())
            throw ImportError("the inputs hold no segments to write; " + output + " is left as it was");
        const std::vector<uint8_t> bytes = EncodeBoundaryFile(segments);
        WriteFileAtomically(output, bytes);
        if (!quiet)
            std::cout << output << ": " << DescribeFigures(Measure(segments)) << ", " << bytes.size() << " bytes\n";
    } catch (const ImportError& error) {
        std::cerr << "gridloom-import: " << error.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "gridloom-import: out of memory; nothing written\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "gridloom-import: " << error.what() << "; nothing written\n";
        return 1;
    }
    return 0;
}
