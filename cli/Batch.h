#pragma once
// Several sources in one call: each SOURCE (a file of a data set, or a folder holding one) is
// converted in turn, into the folder DEST under its proposed prefix when there are several.

#include "cli/Options.h"

#include <string>

namespace kavex::cli
{

// The more serious of two exit codes: cancelled (130), then refused (2), then destination exists
// (3), then some files failed (1), then done (0).
int MoreSerious(int a, int b);

// The first slice of the one data set in folder; false with a reason when it holds none or several.
bool SliceOfFolder(const std::string& folder, std::string& slicePath, std::string& error);

// Runs options.sources one after another and returns the most serious of their exit codes; a
// cancelled source stops the batch. With several sources two that would be written under one
// prefix are refused before anything is written.
int RunSources(const Options& options);

// One source into its destination, as a single-source call does; label ("source 2 of 5: ") heads
// the progress line and the closing line. Defined beside main.
int ConvertSource(const Options& options, const std::string& label);

// True once SIGINT or SIGTERM asked the program to stop.
bool StopRequested();

} // namespace kavex::cli
