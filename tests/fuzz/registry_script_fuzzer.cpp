// libFuzzer target: any bytes as a registry-script resource, run with the
// replacement values of a class registration. Decoding and replacement must
// be exact, parsing must fail cleanly or give a script that prints and parses
// back unchanged, and registering then unregistering it in an in-memory
// registry must leave only what the registrar's rules let stay behind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "registrar/registrar.h"
#include "registrar/registrar_variables.h"
#include "registrar/registry_script_parser.h"
#include "registrar/registry_script_utf8.h"
#include "registrar_fake_registry.h"
#include "registry_script_round_trip.h"
#include "registry_state.h"
#include "script_footprint.h"

namespace zx {
namespace {

const ScriptVariables& Variables() {
  static const ScriptVariables variables = [] {
    ScriptVariables all = MakeClassScriptVariables(
        {u"ZevXMLHttpRequest_0", u"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}",
         u"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}", u"C:\\Zev's Suite\\zxmlhttp.dll"});
    all.emplace(u"PERCENT", u"%");  // a value that must not be replaced again
    return all;
  }();
  return variables;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      bytes += static_cast<char>(c);
      continue;
    }
    static constexpr unsigned char kLeadBits[] = {0, 0xC0, 0xE0, 0xF0};
    const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    bytes += static_cast<char>(kLeadBits[continuations] | (c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
      bytes += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
  }
  return bytes;
}

// Accepted text encodes back to the very bytes it came from.
void CheckDecoding(std::string_view bytes, std::u16string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  ZX_FUZZ_CHECK(EncodeUtf8(text) == bytes);
}

// Replacement is text substitution and nothing else: with every '%' of the
// result doubled, replacing again without parameters gives the result back.
void CheckReplacement(std::u16string_view text) {
  std::u16string expanded;
  if (ExpandScriptVariables(text, Variables(), expanded).code != ScriptErrorCode::kNone) return;
  if (text.find(u'%') == std::u16string_view::npos) ZX_FUZZ_CHECK(expanded == text);
  std::u16string escaped;
  for (const char16_t c : expanded) escaped.append(c == u'%' ? 2 : 1, c);
  std::u16string again;
  ZX_FUZZ_CHECK(ExpandScriptVariables(escaped, {}, again).code == ScriptErrorCode::kNone);
  ZX_FUZZ_CHECK(again == expanded);
}

bool IsValidName(std::u16string_view name, bool isKey) {
  return !name.empty() && name.find(u'\0') == std::u16string_view::npos &&
         !(isKey && name.find(u'\\') != std::u16string_view::npos);
}

void CheckKeys(const std::vector<ScriptKey>& keys, int depth) {
  ZX_FUZZ_CHECK(keys.empty() || depth <= kMaxScriptNesting);
  for (const ScriptKey& key : keys) {
    ZX_FUZZ_CHECK(IsValidName(key.name, true));
    for (const ScriptValue& value : key.values) ZX_FUZZ_CHECK(IsValidName(value.name, false));
    if (key.flag == KeyFlag::kDelete) {
      ZX_FUZZ_CHECK(!key.defaultValue && key.values.empty() && key.subkeys.empty());
    }
    CheckKeys(key.subkeys, depth + 1);
  }
}

void CheckParsedScript(const RegistryScript& script) {
  for (const ScriptRoot& root : script) CheckKeys(root.keys, 1);
  const ScriptParseResult reparsed = ParseRegistryScript(PrintRegistryScript(script), {});
  ZX_FUZZ_CHECK(reparsed.ok());
  ZX_FUZZ_CHECK(SameRegistryScript(reparsed.script, script));
}

// Another class's registration, a value of the shared CLSID key and keys in
// other roots, which registration must not disturb unless its script names them.
void AddForeignKeys(FakeRegistry& registry) {
  constexpr RegistryRoot kHKCR = RegistryRoot::kClassesRoot;
  registry.AddValue(kHKCR, u"CLSID", u"Foreign", std::u16string(u"kept"));
  registry.AddValue(kHKCR, u"CLSID\\{00000000-1111-2222-3333-444444444444}", u"",
                    std::u16string(u"Other"));
  registry.AddValue(kHKCR, u"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32",
                    u"ThreadingModel", std::u16string(u"Both"));
  registry.AddKey(kHKCR, u"Other.ProgID\\CLSID");
  registry.AddValue(RegistryRoot::kLocalMachine, u"Software\\Other", u"Path", std::uint32_t{7});
  registry.AddKey(RegistryRoot::kCurrentUser, u"Zxmlhttp.ZevXMLHttpRequest_0");
}

// After an unregistration: a key or value that was not there before stays
// only where the script keeps it, and what the script leaves alone is as it was.
void CheckLeftovers(const RegistryState& before, const RegistryState& after,
                    const ScriptFootprint& footprint) {
  for (const auto& [path, values] : after) {
    const auto old = before.find(path);
    ZX_FUZZ_CHECK(old != before.end() || footprint.IsKept(path));
    for (const auto& [name, data] : values) {
      const bool unchanged = old != before.end() && old->second.count(name) &&
                             old->second.at(name) == data;
      // Named values the script wrote always go; only a kept default stays.
      if (!unchanged) ZX_FUZZ_CHECK(name.empty() && footprint.IsKept(path));
    }
  }
  for (const auto& [path, values] : before) {
    if (!footprint.LeavesAlone(path)) continue;
    const auto now = after.find(path);
    ZX_FUZZ_CHECK(now != after.end() && now->second == values);
  }
}

// Registers (expecting `registerStatus`), unregisters and checks what is left.
// A successful registration can be repeated without change, and so can an
// unregistration.
void CheckRegistration(FakeRegistry& registry, const RegistryScript& script,
                       const ScriptFootprint& footprint, RegistryStatus registerStatus) {
  const auto apply = [&](RegistrationMode mode) { return ApplyRegistryScript(script, registry, mode); };
  const RegistryState before = TakeRegistryState(registry);
  ZX_FUZZ_CHECK(apply(RegistrationMode::kRegister) == registerStatus);
  if (registerStatus == kRegistryOk) {
    const RegistryState registered = TakeRegistryState(registry);
    ZX_FUZZ_CHECK(apply(RegistrationMode::kRegister) == kRegistryOk);
    ZX_FUZZ_CHECK(TakeRegistryState(registry) == registered);
    ZX_FUZZ_CHECK(apply(RegistrationMode::kUnregister) == kRegistryOk);
  }
  const RegistryState unregistered = TakeRegistryState(registry);
  CheckLeftovers(before, unregistered, footprint);
  ZX_FUZZ_CHECK(apply(RegistrationMode::kUnregister) == kRegistryOk);
  ZX_FUZZ_CHECK(TakeRegistryState(registry) == unregistered);
}

struct InjectedFault {
  FakeOperation operation;
  std::u16string name;
};

// Every write registration is sure to attempt.
void CollectWrites(const std::vector<ScriptKey>& keys, std::vector<InjectedFault>& writes) {
  for (const ScriptKey& key : keys) {
    if (key.flag == KeyFlag::kDelete) continue;
    writes.push_back({FakeOperation::kCreate, key.name});
    if (key.defaultValue) writes.push_back({FakeOperation::kSetValue, u""});
    for (const ScriptValue& value : key.values) writes.push_back({FakeOperation::kSetValue, value.name});
    CollectWrites(key.subkeys, writes);
  }
}

void CheckApplying(const RegistryScript& script, std::size_t seed) {
  const ScriptFootprint footprint(script);
  FakeRegistry empty;
  CheckRegistration(empty, script, footprint, kRegistryOk);
  FakeRegistry shared;
  AddForeignKeys(shared);
  CheckRegistration(shared, script, footprint, kRegistryOk);

  // A write that fails part-way: registration reports it and rolls back.
  std::vector<InjectedFault> writes;
  for (const ScriptRoot& root : script) CollectWrites(root.keys, writes);
  if (writes.empty()) return;
  const InjectedFault& fault = writes[seed % writes.size()];
  FakeRegistry failing;
  AddForeignKeys(failing);
  failing.FailOn(fault.operation, fault.name, kFakeAccessDenied);
  CheckRegistration(failing, script, footprint, kFakeAccessDenied);
}

}  // namespace
}  // namespace zx

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::u16string text;
  const bool decoded = zx::DecodeScriptUtf8(bytes, text);
  const zx::ScriptParseResult result = zx::ParseRegistryScriptUtf8(bytes, zx::Variables());
  ZX_FUZZ_CHECK((result.error.code == zx::ScriptErrorCode::kInvalidEncoding) == !decoded);
  if (!decoded) return 0;
  zx::CheckDecoding(bytes, text);
  zx::CheckReplacement(text);
  if (!result.ok()) {
    ZX_FUZZ_CHECK(result.script.empty());
    return 0;
  }
  zx::CheckParsedScript(result.script);
  zx::CheckApplying(result.script, std::hash<std::string_view>{}(bytes));
  return 0;
}
