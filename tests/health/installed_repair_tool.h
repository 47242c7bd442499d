#pragma once
// mendtool.exe installed where the module looks for the repair tool, with
// settings that make it start the monitored service or do nothing, and a
// record of every run.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/sample_service_process.h"

namespace zx::test {

enum class ToolMode { kStartService, kDoNothing };

// One run of the tool: how it was started.
struct ToolRun {
  std::string show;         // the show command asked for, "-" for none
  std::string commandLine;  // the whole command line, UTF-8
};

class InstalledRepairTool {
 public:
  explicit InstalledRepairTool(ToolMode mode);
  // Removes the tool and its settings.
  ~InstalledRepairTool();
  InstalledRepairTool(const InstalledRepairTool&) = delete;
  InstalledRepairTool& operator=(const InstalledRepairTool&) = delete;

  bool Installed() const { return m_installed; }
  std::vector<ToolRun> Runs() const;

  // "<Program Files>\Velmora\netprobe\mendtool.exe", spelled out here
  // independently of the module.
  static std::wstring Path();
  // "<Path()>" /fixprobesvc, UTF-8.
  static std::string ExpectedCommandLine();

 private:
  TempFile m_log{L"zx-mendtool"};
  bool m_installed = false;
};

}  // namespace zx::test
