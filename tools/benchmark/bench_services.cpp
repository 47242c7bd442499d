#include "bench_services.h"

#include "common/win_resources.h"

namespace zxbench {
namespace {

// A 1 KB line of JSON; the service repeats it to each reply's size.
bool WriteReplyFile(const std::wstring& path) {
  const std::string line = "{\"chunk\":\"" + std::string(1010, 'x') + "\"}\n";
  zx::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written,
                           nullptr) &&
         written == line.size();
}

}  // namespace

BenchServices::BenchServices(const std::vector<std::uint32_t>& largeSizes) {
  m_echo = Start(L"--reply echo");
  m_singleInstanceEcho = Start(L"--reply echo --single-instance");
  if (largeSizes.empty()) return;
  if (!WriteReplyFile(m_replyFile.Path())) m_started = false;
  for (std::uint32_t size : largeSizes) {
    m_large.push_back({size, Start(L"--reply file \"" + m_replyFile.Path() + L"\" --size " +
                                   std::to_wstring(size))});
  }
}

SampleRequest BenchServices::Start(const std::wstring& replyArguments) {
  const std::wstring name = zx::test::UniqueName(L"zxbench");
  m_names.push_back(std::make_unique<zx::test::RegisteredPipeName>(name, name));
  m_services.push_back(std::make_unique<zx::test::SampleServiceProcess>(
      L"--segment " + name + L" --pipe " + name + L" " + replyArguments));
  m_started = m_started && m_services.back()->Started();
  return MakeSampleRequest(name, name);
}

}  // namespace zxbench
