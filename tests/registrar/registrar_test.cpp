#include "registrar/registrar.h"

#include <gtest/gtest.h>

#include "registrar/registrar_variables.h"
#include "registrar/registry_script_parser.h"
#include "registrar_fake_registry.h"
#include "registry_script_describe.h"
#include "registry_script_test_files.h"

namespace zx {
namespace {

constexpr RegistryRoot kHKCR = RegistryRoot::kClassesRoot;
constexpr RegistryRoot kHKCU = RegistryRoot::kCurrentUser;
constexpr std::u16string_view kClsid = u"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}";
constexpr std::u16string_view kClsidKey = u"CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}";

RegistryScript Parse(std::u16string_view text, const ScriptVariables& variables = {}) {
  ScriptParseResult result = ParseRegistryScript(text, variables);
  EXPECT_TRUE(result.ok()) << "code " << static_cast<int>(result.error.code) << " line "
                           << result.error.line;
  return std::move(result.script);
}

RegistryScript RequestClassScript() {
  const ScriptVariables variables = MakeClassScriptVariables(
      {u"ZevXMLHttpRequest_0", kClsid, u"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}",
       u"C:\\Zev's Suite\\zxmlhttp.dll"});
  ScriptParseResult result =
      ParseRegistryScriptUtf8(ReadRegistryScriptFile("xml_http_request.rgs"), variables);
  EXPECT_TRUE(result.ok());
  return std::move(result.script);
}

// Another class's registration and an unrelated key, which must survive.
void AddForeignKeys(FakeRegistry& registry) {
  registry.AddValue(kHKCR, u"CLSID\\{00000000-1111-2222-3333-444444444444}", u"",
                    std::u16string(u"Other"));
  registry.AddKey(kHKCR, u"Other.ProgID\\CLSID");
}

TEST(Registrar, RegistrationWritesEveryKeyAndValueOfTheClassScript) {
  FakeRegistry registry;
  ASSERT_EQ(ApplyRegistryScript(RequestClassScript(), registry, RegistrationMode::kRegister),
            kRegistryOk);
  EXPECT_EQ(
      registry.Dump(),
      "HKCR\\CLSID\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045} [@] = s 'ZevXMLHttpRequest_0 Class'\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\InprocServer32\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\InprocServer32 [@] = s 'C:\\Zev's Suite\\zxmlhttp.dll'\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\InprocServer32 [ThreadingModel] = s 'Apartment'\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\ProgID\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\ProgID [@] = s 'Zxmlhttp.ZevXMLHttpRequest_0.1'\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\Programmable\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\TypeLib\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\TypeLib [@] = s '{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}'\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\VersionIndependentProgID\n"
      "HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\VersionIndependentProgID [@] = s 'Zxmlhttp.ZevXMLHttpRequest_0'\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0 [@] = s 'ZevXMLHttpRequest_0 Class'\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0\\CLSID\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0\\CLSID [@] = s '{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}'\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0\\CurVer\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0\\CurVer [@] = s 'Zxmlhttp.ZevXMLHttpRequest_0.1'\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0.1\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0.1 [@] = s 'ZevXMLHttpRequest_0 Class'\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0.1\\CLSID\n"
      "HKCR\\Zxmlhttp.ZevXMLHttpRequest_0.1\\CLSID [@] = s '{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}'\n");
}

TEST(Registrar, UnregistrationRemovesTheClassButKeepsCLSIDAndForeignKeys) {
  FakeRegistry registry;
  AddForeignKeys(registry);
  const std::string before = registry.Dump();
  const RegistryScript script = RequestClassScript();
  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kRegister), kRegistryOk);
  // What others add below the class key goes with it.
  registry.AddKey(kHKCR, std::u16string(kClsidKey) +
                             u"\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
  EXPECT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kUnregister), kRegistryOk);
  EXPECT_EQ(registry.Dump(), before);

  FakeRegistry empty;
  ASSERT_EQ(ApplyRegistryScript(script, empty, RegistrationMode::kRegister), kRegistryOk);
  EXPECT_EQ(ApplyRegistryScript(script, empty, RegistrationMode::kUnregister), kRegistryOk);
  EXPECT_EQ(empty.Dump(), "HKCR\\CLSID\n");
}

TEST(Registrar, UnregistrationOfAbsentKeysAndValuesSucceeds) {
  FakeRegistry registry;
  EXPECT_EQ(ApplyRegistryScript(RequestClassScript(), registry, RegistrationMode::kUnregister),
            kRegistryOk);
  EXPECT_EQ(
      ApplyRegistryScript(Parse(u"HKCU { NoRemove Kept { val Gone = s 'x' NoRemove Absent } }"),
                          registry, RegistrationMode::kUnregister),
      kRegistryOk);
  registry.AddKey(kHKCU, u"Kept");
  EXPECT_EQ(
      ApplyRegistryScript(Parse(u"HKCU { NoRemove Kept { val Gone = s 'x' NoRemove Absent } }"),
                          registry, RegistrationMode::kUnregister),
      kRegistryOk);
  EXPECT_EQ(registry.Dump(), "HKCU\\Kept\n");
}

TEST(Registrar, ForceRemoveDeletesTheExistingTreeBeforeWriting) {
  FakeRegistry registry;
  const std::u16string classKey(kClsidKey);
  registry.AddValue(kHKCR, classKey, u"Stale", std::uint32_t{1});
  registry.AddKey(kHKCR, classKey + u"\\Old\\Deeper\\Deepest");
  registry.AddKey(kHKCR, classKey + u"\\programmable\\Leftover");
  // Keys without ForceRemove are only written to.
  registry.AddValue(kHKCR, u"Zxmlhttp.ZevXMLHttpRequest_0.1", u"Kept", std::u16string(u"yes"));

  ASSERT_EQ(ApplyRegistryScript(RequestClassScript(), registry, RegistrationMode::kRegister),
            kRegistryOk);
  const std::string dump = registry.Dump();
  EXPECT_EQ(dump.find("Stale"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("Old"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("Leftover"), std::string::npos) << dump;
  EXPECT_NE(dump.find("HKCR\\CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}\\Programmable\n"),
            std::string::npos);
  EXPECT_NE(dump.find("HKCR\\Zxmlhttp.ZevXMLHttpRequest_0.1 [Kept] = s 'yes'\n"),
            std::string::npos);
}

TEST(Registrar, ProtectedKeyNamesAreNeverDeleted) {
  for (std::u16string name :
       {u"appid", u"CLSID", u"component categories", u"FILETYPE", u"Interface", u"hardware",
        u"MIME", u"Sam", u"security", u"System", u"SOFTWARE", u"typelib"}) {
    SCOPED_TRACE(Narrow(name));
    FakeRegistry registry;
    registry.AddKey(kHKCR, name + u"\\Theirs");
    registry.AddKey(kHKCU, u"Outer\\" + name + u"\\Theirs");
    const RegistryScript script = Parse(
        u"HKCR { ForceRemove %N% { Mine } Delete %N% } "
        u"HKCU { NoRemove Outer { Delete %N% ForceRemove %N% = s 'x' { val V = s 'y' } } }",
        {{u"N", u"'" + name + u"'"}});

    ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kRegister), kRegistryOk);
    EXPECT_EQ(registry.Dump(), "HKCR\\" + Narrow(name) +
                                   "\n"
                                   "HKCR\\" +
                                   Narrow(name) +
                                   "\\Mine\n"
                                   "HKCR\\" +
                                   Narrow(name) +
                                   "\\Theirs\n"
                                   "HKCU\\Outer\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) +
                                   "\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) +
                                   " [@] = s 'x'\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) +
                                   " [V] = s 'y'\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) + "\\Theirs\n");

    // At unregistration they are kept like NoRemove keys: what the script put in goes.
    ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kUnregister), kRegistryOk);
    EXPECT_EQ(registry.Dump(), "HKCR\\" + Narrow(name) +
                                   "\n"
                                   "HKCR\\" +
                                   Narrow(name) +
                                   "\\Theirs\n"
                                   "HKCU\\Outer\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) +
                                   "\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) +
                                   " [@] = s 'x'\n"
                                   "HKCU\\Outer\\" +
                                   Narrow(name) + "\\Theirs\n");
  }
  // A name merely containing a protected one is not protected.
  FakeRegistry registry;
  registry.AddKey(kHKCR, u"CLSIDs\\Theirs");
  ASSERT_EQ(ApplyRegistryScript(Parse(u"HKCR { ForceRemove CLSIDs }"), registry,
                                RegistrationMode::kRegister),
            kRegistryOk);
  EXPECT_EQ(registry.Dump(), "HKCR\\CLSIDs\n");
}

TEST(Registrar, NoRemoveKeyStaysButLosesWhatTheScriptPutInIt) {
  FakeRegistry registry;
  registry.AddValue(kHKCU, u"Kept", u"Theirs", std::u16string(u"t"));
  registry.AddKey(kHKCU, u"Kept\\TheirKey");
  registry.AddValue(kHKCU, u"Kept\\Inner", u"TheirValue", std::uint32_t{7});
  const RegistryScript script = Parse(
      u"HKCU { NoRemove Kept = s 'default' { val Mine = s 'm' Sub { Deeper } "
      u"NoRemove Inner { val V = d 1 } } }");

  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kRegister), kRegistryOk);
  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kUnregister), kRegistryOk);
  // The default value of a kept key may be shared with others, so it stays.
  EXPECT_EQ(registry.Dump(),
            "HKCU\\Kept\n"
            "HKCU\\Kept [@] = s 'default'\n"
            "HKCU\\Kept [Theirs] = s 't'\n"
            "HKCU\\Kept\\Inner\n"
            "HKCU\\Kept\\Inner [TheirValue] = d 7\n"
            "HKCU\\Kept\\TheirKey\n");
}

TEST(Registrar, DeleteRemovesAKeyAtRegistrationOnly) {
  FakeRegistry registry;
  registry.AddKey(kHKCU, u"Old\\Deep\\Deeper");
  const RegistryScript script = Parse(u"HKCU { Delete Old New { Delete Absent } }");
  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kRegister), kRegistryOk);
  EXPECT_EQ(registry.Dump(), "HKCU\\New\n");

  registry.AddKey(kHKCU, u"Old");
  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kUnregister), kRegistryOk);
  EXPECT_EQ(registry.Dump(), "HKCU\\Old\n");
}

TEST(Registrar, EveryValueTypeIsWrittenWithItsData) {
  FakeRegistry registry;
  ASSERT_EQ(ApplyRegistryScript(Parse(u"HKLM { K = d 0x10 { val S = s 'text' val B = b '00ff' "
                                      u"val M = m 'a\\0b' } }"),
                                registry, RegistrationMode::kRegister),
            kRegistryOk);
  EXPECT_EQ(registry.Dump(),
            "HKLM\\K\n"
            "HKLM\\K [@] = d 16\n"
            "HKLM\\K [B] = b 00ff\n"
            "HKLM\\K [M] = m 'a\\0b'\n"
            "HKLM\\K [S] = s 'text'\n");
}

TEST(Registrar, FailedRegistrationIsReportedAndLeavesNothingHalfWritten) {
  const struct {
    FakeOperation operation;
    std::u16string_view name;
  } failures[] = {
      {FakeOperation::kCreate, u"Zxmlhttp.ZevXMLHttpRequest_0.1"},
      {FakeOperation::kSetValue, u""},
      {FakeOperation::kCreate, u"CurVer"},
      {FakeOperation::kCreate, u"Programmable"},
      {FakeOperation::kCreate, u"InprocServer32"},
      {FakeOperation::kSetValue, u"ThreadingModel"},
      {FakeOperation::kCreate, u"TypeLib"},
  };
  constexpr RegistryStatus kDiskFull = 112;  // ERROR_DISK_FULL
  for (const auto& failure : failures) {
    SCOPED_TRACE(Narrow(failure.name));
    FakeRegistry registry;
    AddForeignKeys(registry);
    const std::string before = registry.Dump();
    registry.FailOn(failure.operation, std::u16string(failure.name), kDiskFull);
    EXPECT_EQ(ApplyRegistryScript(RequestClassScript(), registry, RegistrationMode::kRegister),
              kDiskFull);
    EXPECT_EQ(registry.Dump(), before);
  }
}

TEST(Registrar, RegistrationReportsItsOwnFailureWhenTheUndoFailsToo) {
  FakeRegistry registry;
  registry.FailOn(FakeOperation::kCreate, u"TypeLib", 112);
  registry.FailOn(FakeOperation::kDeleteKey, u"Zxmlhttp.ZevXMLHttpRequest_0", kFakeAccessDenied);
  EXPECT_EQ(ApplyRegistryScript(RequestClassScript(), registry, RegistrationMode::kRegister), 112u);
  // The undo went on past the key it could not delete.
  EXPECT_EQ(registry.Find(kHKCR, {u"CLSID", std::u16string(kClsid)}), nullptr);
  EXPECT_EQ(registry.Find(kHKCR, {u"Zxmlhttp.ZevXMLHttpRequest_0.1"}), nullptr);
  EXPECT_NE(registry.Find(kHKCR, {u"Zxmlhttp.ZevXMLHttpRequest_0"}), nullptr);
}

TEST(Registrar, FailedUnregistrationGoesOnAndReportsTheFirstFailure) {
  FakeRegistry registry;
  const RegistryScript script = RequestClassScript();
  ASSERT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kRegister), kRegistryOk);
  registry.FailOn(FakeOperation::kDeleteKey, u"Zxmlhttp.ZevXMLHttpRequest_0.1", kFakeAccessDenied);
  registry.FailOn(FakeOperation::kList, std::u16string(kClsid), 1009);  // ERROR_BADDB
  EXPECT_EQ(ApplyRegistryScript(script, registry, RegistrationMode::kUnregister), kFakeAccessDenied);
  EXPECT_NE(registry.Find(kHKCR, {u"Zxmlhttp.ZevXMLHttpRequest_0.1"}), nullptr);
  EXPECT_EQ(registry.Find(kHKCR, {u"Zxmlhttp.ZevXMLHttpRequest_0"}), nullptr);
  EXPECT_NE(registry.Find(kHKCR, {u"CLSID", std::u16string(kClsid)}), nullptr);

  const RegistryScript kept = Parse(u"HKCU { NoRemove Kept { val A = s 'a' val B = s 'b' } }");
  ASSERT_EQ(ApplyRegistryScript(kept, registry, RegistrationMode::kRegister), kRegistryOk);
  registry.FailOn(FakeOperation::kDeleteValue, u"A", kFakeAccessDenied);
  EXPECT_EQ(ApplyRegistryScript(kept, registry, RegistrationMode::kUnregister), kFakeAccessDenied);
  EXPECT_EQ(registry.Find(kHKCU, {u"Kept"})->values.count(u"B"), 0u);
}

TEST(Registrar, ClassVariablesDoubleTheQuotesOfTheModulePath) {
  const ScriptVariables variables =
      MakeClassScriptVariables({u"Name_0", u"{clsid}", u"{libid}", u"C:\\a'b\\m.dll"});
  EXPECT_EQ(variables, (ScriptVariables{{u"OBJECT_NAME", u"Name_0"},
                                        {u"OBJECT_GUID_STRING", u"{clsid}"},
                                        {u"TYPELIB_GUID_STRING", u"{libid}"},
                                        {u"Module", u"C:\\a''b\\m.dll"},
                                        {u"Module_Raw", u"C:\\a''b\\m.dll"},
                                        {u"APPID", u""}}));
}

}  // namespace
}  // namespace zx
