#pragma once
// The record of one run, for the tests to see how the module started the
// tool: one UTF-8 line "<show> <command line>", where <show> is the show
// command the starter asked for, or "-" when it asked for none.
#include <string>

namespace mendtool {

// Appends this run's line to the file; false when it cannot.
bool AppendRunRecord(const std::wstring& logPath);

}  // namespace mendtool
