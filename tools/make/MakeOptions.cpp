#include "tools/make/MakeOptions.h"

#include <charconv>
#include <optional>

#include "platform/OwnVersion.h"
#include "render/GridIntervals.h"

namespace gridloom {

namespace {

// The words of the font styles, as --font-style takes them and the help shows them.
struct TStyleWord {
    const char* Word;
    TFontStyles Style;
};
constexpr TStyleWord StyleWords[] = {
    {"bold", fsBold}, {"italic", fsItalic}, {"underline", fsUnderline}, {"strikeout", fsStrikeOut}};

// A style as the words --font-style takes: "bold", "bold,italic", "regular".
std::string StyleText(TFontStyles style) {
    std::string text;
    for (const TStyleWord& w : StyleWords)
        if (style & w.Style) text += (text.empty() ? "" : ",") + std::string(w.Word);
    return text.empty() ? "regular" : text;
}

std::optional<int32_t> ParseInteger(const std::string& text) {
    int32_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<TFontStyles> ParseStyle(const std::string& text) {
    if (text == "regular") return TFontStyles(0);
    TFontStyles style = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        bool known = false;
        for (const TStyleWord& w : StyleWords)
            if (word == w.Word) {
                style |= w.Style;
                known = true;
            }
        if (!known) return std::nullopt;
        if (comma == std::string::npos) return style;
        start = comma + 1;
    }
}

}  // namespace

// The version the program's own file carries; the compiled-in one where the file has no
// readable block (a test program linking this code).
std::string MakeVersion() {
    const std::string own = OwnFileVersion();
    return std::string("gridloom-make ") + (own.empty() ? GRIDLOOM_VERSION : own);
}

std::string MakeUsage() {
    return "Usage: gridloom-make [options]\n"
           "Makes the master overlay image from the boundary data, as the window's \"Make image\" does.\n"
           "\n"
           "  --data FILE             boundary data (default Countries.dat)\n"
           "  --out FILE              image to write (default Overlay.bmp); left read-only\n"
           "  --grid DEGREES          " +
           GridIntervalWords() + " (default " + std::string(GridIntervals[FirstStart::GridIndex].Word) +
           ")\n"
           "  --labels                degree labels on the grid\n"
           "  --grid-on-top           grid drawn over the countries\n"
           "  --hide-boundaries       boundary lines in the land colour\n"
           "  --gridline-width N      1.." +
           std::to_string(MaxLineWidth) + " pixels (default " + std::to_string(FirstStart::GridlineWidth) +
           ")\n"
           "  --boundary-width N      1.." +
           std::to_string(MaxLineWidth) + " pixels (default " + std::to_string(FirstStart::BoundaryWidth) +
           ")\n"
           "  --font NAME             label font (default " +
           FirstStart::FontName +
           ")\n"
           "  --font-size PT          1.." +
           std::to_string(MaxFontSize) + " points (default " + std::to_string(FirstStart::FontSize) +
           ")\n"
           "  --font-style STYLES     bold,italic,underline,strikeout or regular (default " +
           StyleText(FirstStart::FontStyle) +
           ")\n"
           "  --overwrite-readonly    replace a read-only image (the answer Yes)\n"
           "  --strict                damaged boundary data is an error: nothing is saved\n"
           "                          (without it, what could be read is drawn and saved,\n"
           "                          with a message)\n"
           "  --quiet                 print nothing but errors\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 saved; 1 drawing or saving failed, unreadable or (with --strict) damaged\n"
           "boundary data; 2 bad options or no boundary data.\n";
}

TMakeCommand ParseMakeCommand(const std::vector<std::string>& args) {
    TMakeCommand command;
    TMakeOptions& o = command.Options;
    auto fail = [&](const std::string& error) {
        command.Action = TMakeAction::Error;
        command.Error = "gridloom-make: " + error + " (try --help)";
        return command;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0) {
            const std::size_t equals = name.find('=');
            if (equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
        }

        // Flags.
        bool* flag = nullptr;
        if (name == "--labels")
            flag = &o.Labels;
        else if (name == "--grid-on-top")
            flag = &o.GridOnTop;
        else if (name == "--overwrite-readonly")
            flag = &o.OverwriteReadOnly;
        else if (name == "--quiet")
            flag = &o.Quiet;
        else if (name == "--strict")
            flag = &o.Strict;
        if (flag || name == "--hide-boundaries" || name == "--help" || name == "--version") {
            if (inlineValue) return fail("option " + name + " takes no value");
            if (flag)
                *flag = true;
            else if (name == "--hide-boundaries")
                o.ShowBoundaries = false;
            else if (command.Action == TMakeAction::Run)
                command.Action = name == "--help" ? TMakeAction::Help : TMakeAction::Version;
            continue;
        }

        const bool takesValue = name == "--data" || name == "--out" || name == "--grid" || name == "--gridline-width" ||
                                name == "--boundary-width" || name == "--font" || name == "--font-size" ||
                                name == "--font-style";
        if (!takesValue) {
            if (name.rfind('-', 0) == 0) return fail("unknown option '" + name + "'");
            return fail("unexpected argument '" + name + "'");
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= args.size()) return fail("option " + name + " needs a value");
            value = args[++i];
        }

        if (name == "--data" || name == "--out" || name == "--font") {
            if (value.empty()) return fail("option " + name + " needs a value");
            (name == "--data" ? o.DataPath : name == "--out" ? o.OutputPath : o.FontName) = value;
        } else if (name == "--grid") {
            int index = -1;
            for (const TGridInterval& interval : GridIntervals)
                if (value == interval.Word) index = interval.RadioIndex;
            if (index < 0) return fail("--grid must be " + GridIntervalWords() + ", not '" + value + "'");
            o.GridIndex = index;
        } else if (name == "--font-style") {
            auto style = ParseStyle(value);
            if (!style)
                return fail("--font-style must be bold,italic,underline,strikeout or regular, not '" + value + "'");
            o.FontStyle = *style;
        } else {
            const int32_t limit = name == "--font-size" ? MaxFontSize : MaxLineWidth;
            auto number = ParseInteger(value);
            if (!number) return fail(name + " needs a whole number, not '" + value + "'");
            if (*number < 1 || *number > limit)
                return fail(name + " must lie in 1.." + std::to_string(limit) + ", not " + value);
            (name == "--font-size"        ? o.FontSize
             : name == "--gridline-width" ? o.GridlineWidth
                                          : o.BoundaryWidth) = *number;
        }
    }
    return command;
}

}  // namespace gridloom
