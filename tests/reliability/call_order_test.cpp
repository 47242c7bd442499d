// Methods called in every wrong order: each call's code, the readyState and
// the response text follow the request cycle (open, send, read the
// response, open again) whatever a page calls when.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "harness/message_pump.h"
#include "reliability/reliability_scale.h"
#include "reliability/scripted_request.h"

using namespace zx::test;

namespace {

enum class Op { kOpenPost, kOpenGet, kOpenMalformed, kSendForm, kSendWithoutJson, kSendNothing,
                kReadResponse, kAbort };
constexpr Op kOps[] = {Op::kOpenPost,        Op::kOpenGet,     Op::kOpenMalformed,
                       Op::kSendForm,        Op::kSendWithoutJson, Op::kSendNothing,
                       Op::kReadResponse,    Op::kAbort};
const char* const kOpNames[] = {"open POST", "open GET",     "open malformed", "send form",
                                "send without json", "send nothing", "responseText", "abort"};

const HRESULT kBusy = Code(0xE00D000D);

// What the object must do, kept by hand: the two flags of the request
// cycle, the JSON a send without a string would use, the state and the
// response.
struct RequestModel {
  bool readyForOpen = true;
  bool opened = false;
  std::string json;
  long state = 0;
  std::string responseJson;  // of the last completed exchange
  bool hasResponse = false;

  // The request is reset by every open the object accepts.
  void Reset() {
    opened = false;
    json.clear();
    hasResponse = false;
  }
  HRESULT Open(bool valid, const std::string& urlJson) {
    if (!readyForOpen) return kBusy;
    Reset();
    if (!valid) return Code(0xE00D0004);
    opened = true;
    json = urlJson;
    state = 1;
    return S_OK;
  }
  HRESULT Send(const std::string* formJson, bool stringBody) {
    if (!opened) return Code(0xE00D0001);
    if (stringBody && !formJson) return Code(0xE00D0004);
    if (formJson) json = *formJson;
    state = 2;
    if (json.empty()) return Code(0xE00C000D);
    state = 4;
    responseJson = json;
    hasResponse = true;
    readyForOpen = false;
    opened = false;
    return S_OK;
  }
  void ReadResponse() { readyForOpen = true; }
};

class CallOrderTest : public ScriptedRequestTest {
 protected:
  // Performs op synchronously on the object and on the model; checks that
  // they agree.
  void Step(Op op, RequestModel& model) {
    SCOPED_TRACE(kOpNames[static_cast<int>(op)]);
    const std::string one = "1";
    switch (op) {
      case Op::kOpenPost:
        EXPECT_EQ(driver->OpenService(segment, false), model.Open(true, ""));
        break;
      case Op::kOpenGet:
        EXPECT_EQ(driver->Open(Url(L"/query?x=1&json=%5B7%5D"), false, L"GET"),
                  model.Open(true, "[7]"));
        break;
      case Op::kOpenMalformed:
        EXPECT_EQ(driver->Open(L"http://h/query", false), model.Open(false, ""));
        break;
      case Op::kSendForm:
        EXPECT_EQ(driver->Send(L"1"), model.Send(&one, true));
        break;
      case Op::kSendWithoutJson:
        EXPECT_EQ(driver->SendForm(L"x=1"), model.Send(nullptr, true));
        break;
      case Op::kSendNothing:
        EXPECT_EQ(driver->SendNothing(), model.Send(nullptr, false));
        break;
      case Op::kReadResponse:
        EXPECT_EQ(driver->ResponseText(), model.hasResponse ? EchoOf(model.responseJson) : L"");
        model.ReadResponse();
        break;
      case Op::kAbort:
        EXPECT_EQ((*driver)->abort(), S_OK);
        break;
    }
    EXPECT_EQ(ReadyState(), model.state);
  }
};

// Every sequence of kOrderLength calls, each on a fresh object.
TEST_F(CallOrderTest, EveryOrderOfFourCallsFollowsTheRequestCycle) {
  constexpr size_t kOrderLength = 4;
  const size_t kinds = std::size(kOps);
  size_t orders = 1;
  for (size_t i = 0; i < kOrderLength; ++i) orders *= kinds;
  for (size_t order = 0; order < orders && !HasFailure(); ++order) {
    std::string name;
    std::vector<Op> calls;
    for (size_t i = 0, rest = order; i < kOrderLength; ++i, rest /= kinds) {
      calls.push_back(kOps[rest % kinds]);
      name += std::string(i ? ", " : "") + kOpNames[rest % kinds];
    }
    SCOPED_TRACE(name);
    Renew();
    RequestModel model;
    for (Op op : calls) Step(op, model);
  }
  ReportFigure("call orders: all " + std::to_string(orders) + " sequences of " +
               std::to_string(kOrderLength) + " synchronous calls");
}

TEST_F(CallOrderTest, LongRandomCallSequencesFollowTheRequestCycle) {
  const int sequences = Scaled(100);
  constexpr int kLength = 24;
  std::mt19937 random(20240611);
  for (int s = 0; s < sequences && !HasFailure(); ++s) {
    SCOPED_TRACE("sequence " + std::to_string(s));
    Renew();
    RequestModel model;
    for (int i = 0; i < kLength; ++i) {
      Step(kOps[random() % std::size(kOps)], model);
    }
  }
  ReportFigure("call orders: " + std::to_string(sequences) + " random sequences of " +
               std::to_string(kLength) + " synchronous calls");
}

// Asynchronously an exchange may or may not have ended when the page calls
// next: open is then refused (0xE00D000D) or accepted, the text is empty or
// the reply. Either way every call gives one of those codes and the object
// ends usable.
TEST_F(CallOrderTest, RandomAsynchronousCallsGiveOneOfTheirCodes) {
  const int sequences = Scaled(100);
  constexpr int kLength = 24;
  std::mt19937 random(20240612);
  for (int s = 0; s < sequences && !HasFailure(); ++s) {
    SCOPED_TRACE("sequence " + std::to_string(s));
    Renew();
    for (int i = 0; i < kLength; ++i) {
      switch (random() % 6) {
        case 0: {
          const HRESULT hr = driver->OpenService(segment, true);
          EXPECT_TRUE(hr == S_OK || hr == kBusy) << std::hex << hr;
          WatchCompletion();
          break;
        }
        case 1: {
          const HRESULT hr = driver->Send(L"1");
          EXPECT_TRUE(hr == S_OK || hr == Code(0xE00D0001)) << std::hex << hr;
          break;
        }
        case 2: {
          const HRESULT hr = driver->SendNothing();
          EXPECT_TRUE(hr == S_OK || hr == Code(0xE00D0001)) << std::hex << hr;
          break;
        }
        case 3: {
          const std::wstring text = driver->ResponseText();
          EXPECT_TRUE(text.empty() || text == EchoOf("1") || text == EchoOf("")) << "reply";
          break;
        }
        case 4: {
          const HRESULT hr = driver->Open(L"http://h/query");
          EXPECT_TRUE(hr == kBusy || hr == Code(0xE00D0004)) << std::hex << hr;
          break;
        }
        case 5:
          PumpPendingMessages();
          break;
      }
      const long state = ReadyState();
      EXPECT_TRUE(state >= 0 && state <= 4) << state;
    }
    ExpectUsable(true);
  }
  ReportFigure("call orders: " + std::to_string(sequences) + " random sequences of " +
               std::to_string(kLength) + " asynchronous calls");
}

}  // namespace
