// The user's stored defaults for the options the dialog keeps.

#include "cli/Cli.h"

namespace kavex::cli
{

Defaults LoadDefaults()
{
    return Defaults();
}

bool SaveDefaults(const Options&, const Defaults&)
{
    return false;
}

} // namespace kavex::cli
