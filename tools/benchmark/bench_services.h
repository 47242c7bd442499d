#pragma once
// The sample services the rows talk to, for as long as this object lives:
// one answering small requests in echo mode, a second one in echo mode that
// keeps a single pipe instance and serves on its accepting thread, and one
// per large reply size answering every request with that many bytes.
#include <cstdint>
#include <memory>
#include <vector>

#include "harness/sample_service_process.h"
#include "large_replies.h"
#include "sample_request.h"

namespace zxbench {

class BenchServices {
 public:
  explicit BenchServices(const std::vector<std::uint32_t>& largeSizes);

  bool Started() const { return m_started; }
  const SampleRequest& Echo() const { return m_echo; }
  const SampleRequest& SingleInstanceEcho() const { return m_singleInstanceEcho; }
  const std::vector<LargeReplyTarget>& Large() const { return m_large; }

 private:
  // Starts one service; its pipe name is also registered here, so that the
  // key goes when this object does, however the service ends.
  SampleRequest Start(const std::wstring& replyArguments);

  zx::test::TempFile m_replyFile{L"zxbench-reply"};
  std::vector<std::unique_ptr<zx::test::RegisteredPipeName>> m_names;
  // After the names: the services stop before their keys go.
  std::vector<std::unique_ptr<zx::test::SampleServiceProcess>> m_services;
  bool m_started = true;
  SampleRequest m_echo;
  SampleRequest m_singleInstanceEcho;
  std::vector<LargeReplyTarget> m_large;
};

}  // namespace zxbench
