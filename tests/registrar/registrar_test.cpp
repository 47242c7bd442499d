#include "registrar/registrar.h"

#include <gtest/gtest.h>

#include <vector>

#include "registrar/registry_script_parser.h"
#include "registrar_fake_registry.h"

namespace zx {
namespace {

using Op = FakeOperation;
constexpr auto kRegister = RegistrationMode::kRegister;
constexpr auto kUnregister = RegistrationMode::kUnregister;

RegistryScript Script(std::string_view text) {
  ScriptParseResult result = ParseRegistryScriptUtf8(text, {});
  EXPECT_TRUE(result.ok()) << text;
  return std::move(result.script);
}

std::u16string Utf16(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// The registry before (as script text), the script, and the registry after
// registering and after unregistering it (as PrintRegistryScript prints it).
struct Cycle {
  std::string before, script, registered, unregistered;
};

// Unregistering twice changes nothing: what is already gone is no failure.
void CheckCycle(const Cycle& c) {
  SCOPED_TRACE(c.script);
  FakeRegistry registry(c.before);
  const RegistryScript script = Script(c.script);
  ASSERT_EQ(ApplyRegistryScript(script, registry, kRegister), kRegistryOk);
  EXPECT_EQ(registry.Dump(), Utf16(c.registered));
  for (int time = 0; time < 2; ++time) {
    ASSERT_EQ(ApplyRegistryScript(script, registry, kUnregister), kRegistryOk);
    EXPECT_EQ(registry.Dump(), Utf16(c.unregistered));
  }
}

TEST(Registrar, KeysAreWrittenAndRemovedByTheirFlags) {
  const Cycle cycles[] = {
      // A kept key loses only what the script put in, but its default value
      // may be shared with others and stays.
      {"HKCU { Kept { val Theirs = s 't' TheirKey Inner { val TheirValue = d 7 } } }",
       "HKCU { NoRemove Kept = s 'd' { val Mine = s 'm' Sub { Deeper } "
       "NoRemove Inner { val V = d 1 } } }",
       "HKCU { 'Kept' = s 'd' { val 'Mine' = s 'm' val 'Theirs' = s 't' 'Inner' { "
       "val 'TheirValue' = d 7 val 'V' = d 1 } 'Sub' { 'Deeper' } 'TheirKey' } }",
       "HKCU { 'Kept' = s 'd' { val 'Theirs' = s 't' 'Inner' { val 'TheirValue' = d 7 } "
       "'TheirKey' } }"},
      // Delete removes a tree at registration only.
      {"HKCU { Old { Deep { Deeper } } }",
       "HKCU { Delete Old NoRemove Old { val V = s 'x' } New { Delete Absent } }",
       "HKCU { 'New' 'Old' { val 'V' = s 'x' } }", "HKCU { 'Old' }"},
      // A protected name, in any case, is never deleted and is kept at
      // unregistration like a NoRemove key (which names are protected is the
      // fuzzer's oracle); a name merely containing one is not protected.
      {"HKCR { interface { Theirs } }", "HKCR { ForceRemove Interface { Mine } Delete INTERFACE }",
       "HKCR { 'interface' { 'Mine' 'Theirs' } }", "HKCR { 'interface' { 'Theirs' } }"},
      {"HKCR { CLSIDs { Theirs } }", "HKCR { ForceRemove CLSIDs }", "HKCR { 'CLSIDs' }", ""},
  };
  for (const Cycle& cycle : cycles) CheckCycle(cycle);
}

constexpr char kClass[] =
    "HKCR { 'A.1' = s 'n' { CLSID = s '{c}' } A = s 'n' NoRemove CLSID { ForceRemove '{c}' = s "
    "'n' { ProgID = s 'A.1' InprocServer32 = s 'm' { val ThreadingModel = s 'Apartment' } } } }";
constexpr char kOther[] = "HKCR { 'CLSID' { '{o}' = s 'other' } }";
constexpr char kTwoKeys[] = "HKCU { NoRemove K { A B } }";
constexpr char kTwoKeysButA[] = "HKCU { 'K' { 'A' } }";
constexpr char kTree[] = "HKCU { 'T' { 'Sub' { 'Leaf' } } }";
constexpr char kDeleteTree[] = "HKCU { Delete T }";
constexpr RegistryStatus kDiskFull = 112, kBadDatabase = 1009, kDenied = kFakeAccessDenied;

struct Fault {
  Op operation;
  std::u16string name;
  RegistryStatus status;
};

struct ScriptRun {
  std::string before, script;
  RegistrationMode mode;  // an unregistration follows a registration without faults
  std::vector<Fault> faults;
  RegistryStatus status;
  std::string after;  // the registry afterwards, printed as `before` is
  OtherView otherView = OtherView::kUnregistered;
};

void CheckRun(const ScriptRun& run) {
  SCOPED_TRACE(run.script);
  FakeRegistry registry(run.before);
  const RegistryScript script = Script(run.script);
  if (run.mode != kRegister) {
    ASSERT_EQ(ApplyRegistryScript(script, registry, kRegister), kRegistryOk);
  }
  for (const Fault& f : run.faults) registry.FailOn(f.operation, f.name, f.status);
  EXPECT_EQ(ApplyRegistryScript(script, registry, run.mode, run.otherView), run.status);
  EXPECT_EQ(registry.Dump(), Utf16(run.after));
}

// A failed registration is undone as far as it goes; unregistration goes
// on past a failure; both report the first failure. Inside a deleted tree
// what fails below is what is reported, and a key deleted by someone else
// meanwhile is as good as deleted.
TEST(Registrar, FailuresAreReportedAndUndone) {
  const std::vector<Fault> undoFails = {{Op::kCreate, u"InprocServer32", kDiskFull},
                                        {Op::kDeleteKey, u"A.1", kDenied}};
  const std::string halfUndone = "HKCR { 'A.1' = s 'n' 'CLSID' { '{o}' = s 'other' } }";
  const ScriptRun runs[] = {
      {kOther, kClass, kRegister, {{Op::kCreate, u"ProgID", kDiskFull}}, kDiskFull, kOther},
      {kOther, kClass, kRegister, undoFails, kDiskFull, halfUndone},
      {"", kTwoKeys, kUnregister, {{Op::kDeleteKey, u"A", kDenied}}, kDenied, kTwoKeysButA},
      {kTree, kDeleteTree, kRegister, {{Op::kList, u"Sub", kBadDatabase}}, kBadDatabase, kTree},
      {kTree, kDeleteTree, kRegister, {{Op::kOpen, u"Sub", kBadDatabase}}, kBadDatabase, kTree},
      {kTree, kDeleteTree, kRegister, {{Op::kVanish, u"Sub", kRegistryNotFound}}, kRegistryOk, ""},
  };
  for (const ScriptRun& run : runs) CheckRun(run);
}

// Unregistering one build's view, or undoing its failed registration, leaves
// the classes root's top-level keys that both views share, for the other
// build; CLSID and Interface are each view's own.
TEST(Registrar, OneViewLeavesTheKeysBothViewsShare) {
  constexpr char kViews[] =
      "HKCR { A = s 'n' NoRemove CLSID { '{c}' } NoRemove Interface { '{i}' } NoRemove TypeLib { "
      "'{t}' } } HKCU { K }";
  constexpr char kViewsLeft[] = "HKCR { 'A' = s 'n' 'CLSID' 'Interface' 'TypeLib' { '{t}' } }";
  constexpr char kProgIdsLeft[] =
      "HKCR { 'A' = s 'n' 'A.1' = s 'n' { 'CLSID' = s '{c}' } 'CLSID' { '{o}' = s 'other' } }";
  const std::vector<Fault> serverFails = {{Op::kCreate, u"InprocServer32", kDiskFull}};
  constexpr auto kOtherBuild = OtherView::kRegistered;
  CheckRun({"", kViews, kUnregister, {}, kRegistryOk, kViewsLeft, kOtherBuild});
  CheckRun({kOther, kClass, kRegister, serverFails, kDiskFull, kProgIdsLeft, kOtherBuild});
}

}  // namespace
}  // namespace zx
