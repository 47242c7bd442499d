#pragma once
// A scripted Service Control Manager: each service answers its status
// queries from a list (the last answer repeats), and every call is logged
// as text, so tests can check what was opened, queried, slept and closed.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "health/service_status_source.h"

namespace zx::test {

struct StatusAnswer {
  Result error;
  bool running;
};
inline constexpr StatusAnswer kRunning{0, true};
inline constexpr StatusAnswer kDown{0, false};
inline StatusAnswer QueryFails(Result error) { return {error, false}; }

inline constexpr Result kServiceDoesNotExist = 1060;

class FakeServiceStatusSource final : public ServiceStatusSource {
 public:
  // A service that exists and answers its queries in turn (at least one answer).
  void Add(const std::string& name, std::vector<StatusAnswer> answers) {
    m_answers[name] = std::move(answers);
  }

  Result OpenManager() override {
    log.push_back("open manager");
    if (managerError == 0) m_managerOpen = true;
    return managerError;
  }
  Result OpenServiceForQuery(const std::u16string& wideName) override {
    std::string name(wideName.begin(), wideName.end());
    log.push_back("open " + name + (m_managerOpen ? "" : " WITHOUT MANAGER"));
    if (!m_answers.count(name)) return kServiceDoesNotExist;
    m_opened.push_back(name);
    return 0;
  }
  Result QueryRunning(std::size_t index, bool& running) override {
    if (index >= m_opened.size()) {
      log.push_back("query of unopened service " + std::to_string(index));
      return 6;  // ERROR_INVALID_HANDLE
    }
    log.push_back("query " + m_opened[index]);
    std::vector<StatusAnswer>& answers = m_answers[m_opened[index]];
    StatusAnswer answer = answers.front();
    if (answers.size() > 1) answers.erase(answers.begin());
    if (answer.error == 0) running = answer.running;
    return answer.error;
  }
  void CloseAll() override {
    log.push_back("close");
    m_opened.clear();
    m_managerOpen = false;
  }
  void Pause(std::uint32_t milliseconds) override {
    log.push_back("pause " + std::to_string(milliseconds));
  }

  // How many log entries begin with prefix.
  int Count(const std::string& prefix) const {
    int count = 0;
    for (const std::string& entry : log) count += entry.rfind(prefix, 0) == 0;
    return count;
  }

  Result managerError = 0;
  std::vector<std::string> log;

 private:
  std::map<std::string, std::vector<StatusAnswer>> m_answers;
  std::vector<std::string> m_opened;
  bool m_managerOpen = false;
};

}  // namespace zx::test
