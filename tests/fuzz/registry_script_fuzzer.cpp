// libFuzzer target: any bytes as a registry-script resource, run with the
// replacement values of a class registration. Decoding and replacement must
// be exact, parsing must fail cleanly or give a script that prints and parses
// back unchanged, and registering then unregistering it in an in-memory
// registry must leave only what the registrar's rules let stay behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "registrar/registrar.h"
#include "registrar/registrar_variables.h"
#include "registrar/registry_script_parser.h"
#include "registrar/registry_script_utf8.h"
#include "registrar_fake_registry.h"

namespace zx {
namespace {

using Node = FakeRegistry::Node;
using Entries = std::vector<const ScriptKey*>;  // the script's entries naming one key

// Another class's registration, a value of the shared CLSID key and keys in
// other roots, which registration must not disturb unless its script names them.
constexpr std::string_view kForeignKeys =
    "HKCR { CLSID { val Foreign = s 'kept' '{00000000-1111-2222-3333-444444444444}' = s 'Other' { "
    "InprocServer32 { val ThreadingModel = s 'Both' } } } 'Other.ProgID' { CLSID } } "
    "HKLM { Software { Other { val Path = d 7 } } } HKCU { 'Zxmlhttp.ZevXMLHttpRequest_0' }";

// The names the registrar promises never to delete.
constexpr std::u16string_view kNeverDeleted[] = {u"AppID",    u"CLSID",     u"Component Categories",
                                                 u"FileType", u"Interface", u"Hardware",
                                                 u"Mime",     u"SAM",       u"SECURITY",
                                                 u"SYSTEM",   u"Software",  u"TypeLib"};

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

// Replacement is text substitution and nothing else: with every '%' of the
// result doubled, replacing again without parameters gives the result back.
void CheckReplacement(std::u16string_view text) {
  std::u16string expanded, escaped, again;
  if (ExpandScriptVariables(text, Variables(), expanded).code != ScriptErrorCode::kNone) return;
  if (text.find(u'%') == std::u16string_view::npos) ZX_FUZZ_CHECK(expanded == text);
  for (const char16_t c : expanded) escaped.append(c == u'%' ? 2 : 1, c);
  ZX_FUZZ_CHECK(ExpandScriptVariables(escaped, {}, again).code == ScriptErrorCode::kNone);
  ZX_FUZZ_CHECK(again == expanded);
}

bool KeepsItsKey(const ScriptKey* key) {
  return key->flag == KeyFlag::kNoRemove ||
         std::any_of(std::begin(kNeverDeleted), std::end(kNeverDeleted),
                     [key](auto kept) { return EqualsIgnoreAsciiCase(key->name, kept); });
}

const Node* Child(const Node* node, const std::u16string& name) {
  if (!node) return nullptr;
  const auto found = node->subkeys.find(name);
  return found == node->subkeys.end() ? nullptr : &found->second;
}

// A key before registration and after unregistration, and the entries naming
// it. `kept`: it and every ancestor are named only by entries that keep
// their key; `exposed`: some entry naming an ancestor does not. What was not
// there before stays only where it is kept, and then only the key and its
// default value; what no entry reaches is untouched.
void CheckKey(const Node* before, const Node* after, const Entries& named, bool kept,
              bool exposed) {
  if (after) {
    ZX_FUZZ_CHECK(before || kept);
    for (const auto& [name, data] : after->values) {
      const bool unchanged =
          before && before->values.count(name) && before->values.at(name) == data;
      ZX_FUZZ_CHECK(unchanged || (name.empty() && kept));
    }
  }
  if (before && named.empty() && !exposed) ZX_FUZZ_CHECK(after && after->values == before->values);
  const bool keepers = std::all_of(named.begin(), named.end(), KeepsItsKey);
  std::set<std::u16string, IgnoreAsciiCaseLess> names;
  for (const Node* node : {before, after}) {
    if (node)
      for (const auto& subkey : node->subkeys) names.insert(subkey.first);
  }
  for (const std::u16string& name : names) {
    Entries children;
    for (const ScriptKey* parent : named) {
      for (const ScriptKey& key : parent->subkeys) {
        if (EqualsIgnoreAsciiCase(key.name, name)) children.push_back(&key);
      }
    }
    const bool childKept =
        kept && !children.empty() && std::all_of(children.begin(), children.end(), KeepsItsKey);
    CheckKey(Child(before, name), Child(after, name), children, childKept, exposed || !keepers);
  }
}

// Each root stands for a kept key holding the keys of all the script's blocks for it.
void CheckLeftovers(FakeRegistry& before, FakeRegistry& after, const RegistryScript& script) {
  for (const RegistryRoot root :
       {RegistryRoot::kClassesRoot, RegistryRoot::kCurrentUser, RegistryRoot::kLocalMachine,
        RegistryRoot::kUsers, RegistryRoot::kCurrentConfig}) {
    ScriptKey kept{u"", KeyFlag::kNoRemove, {}, {}, {}};
    for (const ScriptRoot& block : script) {
      if (block.root != root) continue;
      kept.subkeys.insert(kept.subkeys.end(), block.keys.begin(), block.keys.end());
    }
    CheckKey(before.Find(root, {}), after.Find(root, {}), {&kept}, true, false);
  }
}

// Registers, unregisters and checks what is left. Both can be repeated
// without change. A write failing half-way is left to the unit tests.
void CheckRegistration(FakeRegistry& registry, const RegistryScript& script) {
  const auto apply = [&](RegistrationMode mode) {
    return ApplyRegistryScript(script, registry, mode);
  };
  FakeRegistry before = registry;
  ZX_FUZZ_CHECK(apply(RegistrationMode::kRegister) == kRegistryOk);
  const std::u16string registered = registry.Dump();
  ZX_FUZZ_CHECK(apply(RegistrationMode::kRegister) == kRegistryOk);
  ZX_FUZZ_CHECK(registry.Dump() == registered);
  ZX_FUZZ_CHECK(apply(RegistrationMode::kUnregister) == kRegistryOk);
  const std::u16string unregistered = registry.Dump();
  CheckLeftovers(before, registry, script);
  ZX_FUZZ_CHECK(apply(RegistrationMode::kUnregister) == kRegistryOk);
  ZX_FUZZ_CHECK(registry.Dump() == unregistered);
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
  // Accepted text encodes back to the very bytes it came from.
  const bool marked = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  ZX_FUZZ_CHECK(zx::fuzz::EncodeUtf8(text) == bytes.substr(marked ? 3 : 0));
  zx::CheckReplacement(text);
  if (!result.ok()) {
    ZX_FUZZ_CHECK(result.script.empty());
    return 0;
  }
  // Printed and parsed again, the script is the same: so its names are
  // valid, its nesting within the limit and Delete keys name nothing more.
  const std::u16string printed = zx::PrintRegistryScript(result.script);
  const zx::ScriptParseResult reparsed = zx::ParseRegistryScript(printed, {});
  ZX_FUZZ_CHECK(reparsed.ok() && zx::PrintRegistryScript(reparsed.script) == printed);
  zx::FakeRegistry empty, shared(zx::kForeignKeys);
  zx::CheckRegistration(empty, result.script);
  zx::CheckRegistration(shared, result.script);
  return 0;
}
