#pragma once
// Command line of kavex-convert: what the user asked for, before any default is applied.
// Options the dialog stores as defaults are optional here, so that a missing option can take the
// user's stored default and --save-defaults can store only what was given.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavex::cli
{

enum class Mode
{
    Convert,
    Info,
    Help,
    Version,
};

// Which of the three layer options was given; they are alternatives, as in the dialog.
enum class LayerOption
{
    None,
    Shift,
    Top,
    Bottom,
};

struct Options
{
    Mode mode = Mode::Convert;
    std::vector<std::string> sources; // every SOURCE operand, in order
    std::string source;               // the one being handled
    std::string destination;
    bool destinationIsFolder = false; // DEST names a folder even when it does not exist yet

    // Stored defaults of the dialog; unset means "take the stored default".
    std::optional<std::string> format;    // "bmp", "tif" or "jpg"
    std::optional<int32_t> resize;        // 1, 2, 4, 8
    std::optional<int32_t> interpolation; // 1 fast, 2 2d, 3 3d
    std::optional<int32_t> jpegQuality;   // 0..100
    std::optional<bool> invertRaw;
    std::optional<bool> invertPalette;
    std::optional<bool> keepFileTimes;
    std::optional<bool> vgi;

    LayerOption layer = LayerOption::None;
    int32_t layerValue = 0;

    bool overwrite = false;
    bool resume = false;
    bool dryRun = false;
    bool json = false;
    bool quiet = false;
    bool saveDefaults = false;
};

// Parses the arguments after the program name. Options may come before or after the operands;
// "--" ends the options. Returns false with a one-line reason in error on a usage error.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

const char* HelpText();
std::string VersionLine();

} // namespace kavex::cli
