// Writes the program's version block, in its binary layout, as a C++ source file whose one
// array lives in the section the version API looks for. Run by the build; the file is
// rewritten only when its content changes, so that programs are not relinked for nothing.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "GridloomIdentity.h"
#include "platform/ExecutableImage.h"
#include "platform/VersionBlock.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gridloom-version-section OUTPUT.cpp\n");
        return 2;
    }
    namespace id = gridloom::identity;
    gridloom::TVersionDescription d;
    for (int i = 0; i < 4; ++i) {
        d.FileVersion[i] = id::FileVersion[i];
        d.ProductVersion[i] = id::ProductVersion[i];
    }
    d.FileFlagsMask = id::FileFlagsMask;
    d.FileFlags = id::FileFlags;
    d.FileOS = id::FileOS;
    d.FileType = id::FileType;
    d.FileSubtype = id::FileSubtype;
    d.FileDateMS = id::FileDate;
    d.FileDateLS = id::FileDate;
    d.Translations = {{id::Language, id::CodePage}};
    for (const auto& s : id::Strings) d.Strings.emplace_back(s.Key, s.Value);
    std::vector<uint8_t> block = gridloom::BuildVersionBlock(d);

    std::ostringstream out;
    out << "// Made by the build from cmake/GridloomIdentity.cmake; edit that file instead.\n"
        << "__attribute__((section(\"" << gridloom::VersionSectionName << "\"), used, aligned(4)))\n"
        << "extern const unsigned char GridloomVersionBlock[" << block.size() << "] = {";
    for (std::size_t i = 0; i < block.size(); ++i) out << (i % 16 == 0 ? "\n    " : " ") << int(block[i]) << ',';
    out << "\n};\n";

    std::ifstream old(argv[1], std::ios::binary);
    std::string previous((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (previous == out.str()) return 0;
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out.str();
    file.close();
    if (!file) {
        std::fprintf(stderr, "gridloom-version-section: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
