#include "cli/Options.h"

#include "KavexVersion.h"
#include "engine/DatasetConversion.h"

#include <charconv>

namespace kavex::cli
{
namespace
{

bool ParseInt(const std::string& text, int32_t& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    return first != last && ec == std::errc() && end == last;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

using Handler = bool (*)(Options&, const std::string& value, std::string& error);

struct OptionInfo
{
    const char* longName;
    char shortName; // 0: none
    bool takesValue;
    Handler handle;
};

bool Fail(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

bool SetFormat(Options& o, const std::string& v, std::string& error)
{
    const std::string f = Lower(v);
    if (f != "bmp" && f != "tif" && f != "jpg")
        return Fail(error, "--format takes bmp, tif or jpg, not '" + v + "'");
    o.format = f;
    return true;
}

bool SetResize(Options& o, const std::string& v, std::string& error)
{
    int32_t n = 0;
    if (!ParseInt(v, n) || (n != 1 && n != 2 && n != 4 && n != 8))
        return Fail(error, "--resize takes 1, 2, 4 or 8, not '" + v + "'");
    o.resize = n;
    return true;
}

bool SetInterpolation(Options& o, const std::string& v, std::string& error)
{
    const std::string m = Lower(v);
    if (m == "fast" || m == "1")
        o.interpolation = ResizeFast;
    else if (m == "2d" || m == "2")
        o.interpolation = ResizeAverage2D;
    else if (m == "3d" || m == "3")
        o.interpolation = ResizeAverage3D;
    else
        return Fail(error, "--interpolation takes fast, 2d or 3d, not '" + v + "'");
    return true;
}

// --shift, --top and --bottom: one of them at most, named by its long form in messages.
template <LayerOption which> bool SetLayer(Options& o, const std::string& v, std::string& error)
{
    const char* name = which == LayerOption::Shift ? "--shift"
                       : which == LayerOption::Top ? "--top"
                                                   : "--bottom";
    if (o.layer != LayerOption::None && o.layer != which)
        return Fail(error, "give only one of --shift, --top and --bottom");
    int32_t n = 0;
    if (!ParseInt(v, n)) return Fail(error, std::string(name) + " takes a whole number, not '" + v + "'");
    o.layer = which;
    o.layerValue = n;
    return true;
}

bool SetQuality(Options& o, const std::string& v, std::string& error)
{
    int32_t n = 0;
    if (!ParseInt(v, n) || n < 0 || n > 100)
        return Fail(error, "--jpeg-quality takes a number from 0 to 100, not '" + v + "'");
    o.jpegQuality = n;
    return true;
}

// A switch that stores a fixed value in one field of the options.
template <auto Field, bool Value> bool SetFlag(Options& o, const std::string&, std::string&)
{
    o.*Field = Value;
    return true;
}

const OptionInfo kOptions[] = {
    {"format", 'f', true, SetFormat},
    {"resize", 'r', true, SetResize},
    {"interpolation", 'i', true, SetInterpolation},
    {"shift", 's', true, SetLayer<LayerOption::Shift>},
    {"top", 0, true, SetLayer<LayerOption::Top>},
    {"bottom", 0, true, SetLayer<LayerOption::Bottom>},
    {"jpeg-quality", 'q', true, SetQuality},
    {"invert-raw", 0, false, SetFlag<&Options::invertRaw, true>},
    {"no-invert-raw", 0, false, SetFlag<&Options::invertRaw, false>},
    {"invert-palette", 0, false, SetFlag<&Options::invertPalette, true>},
    {"no-invert-palette", 0, false, SetFlag<&Options::invertPalette, false>},
    {"keep-file-times", 0, false, SetFlag<&Options::keepFileTimes, true>},
    {"no-keep-file-times", 0, false, SetFlag<&Options::keepFileTimes, false>},
    {"vgi", 0, false, SetFlag<&Options::vgi, true>},
    {"no-vgi", 0, false, SetFlag<&Options::vgi, false>},
    {"overwrite", 0, false, SetFlag<&Options::overwrite, true>},
    {"resume", 0, false, SetFlag<&Options::resume, true>},
    {"dry-run", 'n', false, SetFlag<&Options::dryRun, true>},
    {"json", 0, false, SetFlag<&Options::json, true>},
    {"quiet", 0, false, SetFlag<&Options::quiet, true>},
    {"save-defaults", 0, false, SetFlag<&Options::saveDefaults, true>},
    {"info", 0, false,
     [](Options& o, const std::string&, std::string&)
     {
         if (o.mode == Mode::Convert) o.mode = Mode::Info;
         return true;
     }},
    {"help", 'h', false,
     [](Options& o, const std::string&, std::string&)
     {
         o.mode = Mode::Help;
         return true;
     }},
    {"version", 0, false,
     [](Options& o, const std::string&, std::string&)
     {
         if (o.mode != Mode::Help) o.mode = Mode::Version;
         return true;
     }},
};

const OptionInfo* FindLong(const std::string& name)
{
    for (const OptionInfo& option : kOptions)
        if (name == option.longName) return &option;
    return nullptr;
}

const OptionInfo* FindShort(char name)
{
    for (const OptionInfo& option : kOptions)
        if (option.shortName != 0 && option.shortName == name) return &option;
    return nullptr;
}

// One option at args[i]; consumes its value from args[i + 1] when it is not attached.
bool ParseOption(const std::vector<std::string>& args, size_t& i, Options& options, std::string& error)
{
    const std::string& arg = args[i];
    const OptionInfo* option = nullptr;
    std::string shown;
    std::optional<std::string> attached;
    if (arg.compare(0, 2, "--") == 0)
    {
        const size_t eq = arg.find('=');
        shown = arg.substr(0, eq);
        option = FindLong(shown.substr(2));
        if (eq != std::string::npos) attached = arg.substr(eq + 1);
    }
    else
    {
        shown = arg.substr(0, 2);
        option = FindShort(arg[1]);
        if (arg.size() > 2) attached = arg.substr(2);
    }
    if (option == nullptr) return Fail(error, "unknown option '" + shown + "'");
    if (!option->takesValue)
    {
        if (attached) return Fail(error, "option '" + shown + "' takes no value");
        return option->handle(options, std::string(), error);
    }
    if (!attached)
    {
        if (i + 1 >= args.size()) return Fail(error, "option '" + shown + "' needs a value");
        attached = args[++i];
    }
    return option->handle(options, *attached, error);
}

bool CheckOperands(const std::vector<std::string>& operands, Options& options, std::string& error)
{
    if (options.mode == Mode::Help || options.mode == Mode::Version) return true;
    if (options.overwrite && options.resume)
        return Fail(error, "--overwrite and --resume exclude each other");
    if (options.mode == Mode::Info)
    {
        if (operands.size() != 1) return Fail(error, "--info takes one SOURCE");
        options.sources = operands;
        options.source = operands[0];
        return true;
    }
    if (operands.empty() && options.saveDefaults) return true;
    if (operands.size() < 2) return Fail(error, "SOURCE and DEST are needed");
    options.sources.assign(operands.begin(), operands.end() - 1);
    options.source = operands[0];
    options.destination = operands.back();
    return true;
}

} // namespace

bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error)
{
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-')
            operands.push_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (!ParseOption(args, i, options, error))
            return false;
    }
    return CheckOperands(operands, options, error);
}

std::string VersionLine()
{
    return std::string("kavex-convert ") + KAVEX_VERSION_STRING;
}

const char* HelpText()
{
    return R"(Usage: kavex-convert [options] SOURCE DEST
  or:  kavex-convert [options] SOURCE... DEST
  or:  kavex-convert --info SOURCE
  or:  kavex-convert --save-defaults [options]
Converts a data set, or several into a folder; describes a data set; stores
options as the user's defaults.

SOURCE is any file of the source data set (slice, side image, _cfg.txt, _dicom.txt,
log) or its mask, e.g. /scans/rec0000.bmp or /scans/rec????.bmp, or a folder that
holds exactly one data set.
DEST is a file name of the destination data set (/out/q0000.tif, /out/q????.tif,
/out/q.tif) or a folder (an existing one, or any written with a trailing /); in a
folder the prefix is the source prefix + "_conv_" and the format the stored
default. A missing folder is created.
With several sources DEST is a folder (made when missing) and every source gets
its own prefix there; sources that would share one are refused before anything
is written. The sources run one after another.

Options:
  -f, --format bmp|tif|jpg     destination format (replaces the DEST extension)
  -r, --resize 1|2|4|8         reduce width, height and slice count by this factor
  -i, --interpolation fast|2d|3d
                               how reduced samples are formed
  -s, --shift N                add N to every slice number
      --top N                  number of the last destination slice
      --bottom N               number of the first destination slice
                               (one of the three; slice numbers stay in 0..9999)
      --invert-raw             invert the samples
      --invert-palette         reverse the colour palette (BMP destinations)
  -q, --jpeg-quality 0..100    JPEG quality
      --keep-file-times        give each written file the times of its source
      --vgi                    write a .vgi volume description beside the slices
      --no-invert-raw, --no-invert-palette, --no-keep-file-times, --no-vgi
                               switch off a stored default
      --overwrite              delete the existing destination data set first
      --resume                 keep existing destination slices, write the missing
  -n, --dry-run                print every source -> destination pair, write nothing
      --json                   print a JSON summary on standard output, one line per
                               source ("outcome": "refused" when it did not run);
                               failed files as {"path", "action", "reason"}
      --quiet                  no progress line
      --save-defaults          store the options in force (and the format of DEST or
                               --format) as the user's defaults, as the dialog's
                               "Save as default" does; not with --dry-run
      --info                   describe SOURCE and exit
  -h, --help                   this text
      --version                version

Options not given take the user's stored defaults, shared with the desktop program.

Exit status:
  0    done
  1    done, but some files could not be read or written (each listed with
       its reason)
  2    usage error, refused conversion (DEST is the source, or another run is
       writing it), no slice in SOURCE, a first slice that cannot be read or a
       destination folder that cannot be made
  3    the destination exists (give --overwrite or --resume)
  130  cancelled (SIGINT, SIGTERM)
With several sources, the most serious code of any source in the order 130
(which stops the batch at once), 2, 3, 1, 0.
)";
}

} // namespace kavex::cli
