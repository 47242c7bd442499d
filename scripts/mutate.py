#!/usr/bin/env python3
"""Mutation check of the portable code.

Puts one small fault from MUTANTS into a file under src/, rebuilds the native
test program in a build tree of its own, runs it, and puts the file back. A
mutant is killed when the tests fail or hang, survives when they pass, and is
stillborn when it does not compile. Survivors are listed in
build/mutate/survivors.txt; --asan runs them again under ASan and UBSan.

    scripts/mutate.py [--only TEXT] [--list] [--jobs N] [--asan]
"""

import argparse
import contextlib
import os
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCES = ROOT / "src"
NICE = ["nice", "-n", "19"]  # the machine is shared: never crowd out other work
TEST_TIMEOUT_S = 60


@dataclass(frozen=True)
class Mutant:
    file: str  # under src/
    original: str  # must occur exactly once in the file
    replacement: str
    label: str

    @property
    def name(self):
        return f"{self.file}: {self.label}"


# (file under src/, original snippet, replacement, what the fault does)
MUTANTS = [Mutant(*row) for row in [
    # --- protocol ---
    ("protocol/request_frame.cpp", "(length >> (8 * i)) & 0xFF", "(length >> (8 * (3 - i))) & 0xFF", "length stored big-endian"),
    ("protocol/request_frame.cpp", "static_cast<std::uint32_t>(static_cast<unsigned char>(fourBytes[i]))", "static_cast<std::uint32_t>(fourBytes[i])", "length bytes sign-extended"),
    ("protocol/request_frame.cpp", "pathText.size()} + kJsonSeparator.size() + json.size()", "pathText.size()} + json.size()", "length leaves out the separator"),
    ("protocol/request_frame.cpp", "payloadSize > std::numeric_limits<std::uint32_t>::max() ||", "", "no 32-bit payload limit"),
    ("protocol/request_frame.cpp", "  frame.clear();\n", "", "old frame kept on failure"),
    ("protocol/reply_frame_reader.cpp", "return bytes.empty() ? ReplyStatus::kComplete : Fail(ReplyStatus::kOverlong);", "return ReplyStatus::kComplete;", "bytes after completion accepted"),
    ("protocol/reply_frame_reader.cpp", "return afterBody == ReplyStatus::kNeedMore ? ReplyStatus::kLengthKnown : afterBody;", "return afterBody;", "length arrival hidden when body bytes follow"),
    ("protocol/reply_frame_reader.cpp", "return m_bodyLength - m_body.size();", "return m_bodyLength - m_body.size() + 1;", "wanted one byte too many"),
    ("protocol/reply_frame_reader.cpp", "if (m_bodyLength == 0) return Fail(ReplyStatus::kEmptyReply);", "", "empty reply accepted"),
    ("protocol/reply_frame_reader.cpp", "if (m_bodyLength > m_maxBodyLength)", "if (m_bodyLength >= m_maxBodyLength)", "reply of exactly the cap refused"),
    ("protocol/reply_frame_reader.cpp", "MakeRoom(std::min<std::size_t>(m_bodyLength, kReplyGrowthStep))", "MakeRoom(m_bodyLength)", "whole announced length reserved at once"),
    ("protocol/reply_frame_reader.cpp", "if (bytes.size() > BytesWanted()) return Fail(ReplyStatus::kOverlong);", "", "overlong piece accepted"),
    ("protocol/reply_frame_reader.cpp", "std::max(needed, m_body.capacity() * 2)", "needed", "buffer grows without doubling"),
    ("protocol/reply_frame_reader.cpp", "grown.reserve(std::min<std::size_t>(doubled, m_bodyLength));", "grown.reserve(doubled);", "growth not capped at the announced length"),
    ("protocol/reply_frame_reader.cpp", "std::string().swap(m_body);", "", "failure keeps the buffer"),
    ("protocol/reply_frame_reader.cpp", "while (!bytes.empty() && reader.BytesWanted() > 0)", "while (!bytes.empty())", "bytes past the frame are fed"),
    ("protocol/form_value.cpp", "(c >= 'A' && c <= 'Z')", "(c >= 'A' && c < 'Z')", "Z not lowered"),
    ("protocol/form_value.cpp", "(lower >= 'a' && lower <= 'f')", "(lower >= 'a' && lower < 'f')", "f not a hex digit"),
    ("protocol/form_value.cpp", "j + 2 < sourceLength", "j + 2 <= sourceLength", "escape read past the value's end"),
    ("protocol/form_value.cpp", " &&\n         IsHexDigit(source[j + 2]);", ";", "second escape digit unchecked"),
    ("protocol/form_value.cpp", " ||\n         data[position - 1] == kQueryStart;", ";", "'?' starts no parameter"),
    ("protocol/form_value.cpp", "if (difference != 0) return difference;", "if (difference > 0) return difference;", "name comparison ignores negative differences"),
    ("protocol/form_value.cpp", "if (outCapacity <= 0) return 0;", "if (outCapacity < 0) return 0;", "zero capacity still written"),
    ("protocol/form_value.cpp", "i < outCapacity - 1", "i < outCapacity", "no room left for the terminator"),
    ("protocol/form_value.cpp", "  value.resize(static_cast<std::size_t>(decoded));\n", "", "json value keeps its padding"),
    ("protocol/request_url.cpp", "url.find(kCgiPrefix)", "url.rfind(kCgiPrefix)", "last prefix used"),
    ("protocol/request_url.cpp", "return text.substr(0, text.find(kQueryStart));", "return text;", "query not cut off"),
    ("protocol/request_url.cpp", "? end : end - 1);", "? end : end);", "service includes the slash"),
    ("protocol/request_url.cpp", "if (parts.service.empty()) return result::kBadRequest;", "", "URL naming no service accepted"),
    ("protocol/error_code.cpp", "replyUtf8.substr(0, replyUtf8.find('\\0'))", "replyUtf8", "search runs past a NUL"),
    ("protocol/error_code.cpp", "return value.substr(0, value.find('\"'));", "return value;", "code not cut at its quote"),
    ("protocol/error_code.cpp", " || code == result::kSyncNoPipeInstance", "", "sync no-pipe not a lost connection"),
    ("protocol/wide_to_int.cpp", "c == 0x20 || c == 0xA0 ||", "c == 0x20 ||", "no-break space not space"),
    ("protocol/wide_to_int.cpp", "return c >= z && c <= z + 9;", "return c >= z && c < z + 9;", "digit nine not a digit"),
    ("protocol/wide_to_int.cpp", "text[i] == u'-';", "text[i] == u'-' && i == 0;", "minus after white space ignored"),
    ("protocol/wide_to_int.cpp", "if (i < text.size() && (text[i] == u'-'", "while (i < text.size() && (text[i] == u'-'", "several signs accepted"),
    ("protocol/wide_to_int.cpp", "std::int64_t{1} << 31;", "(std::int64_t{1} << 31) - 1;", "INT_MIN unreachable"),
    ("protocol/wide_to_int.cpp", "std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max())", "magnitude", "positive overflow not clamped"),
    # --- registrar ---
    ("registrar/registry_script_lexer.cpp", "if (m_text[m_pos] == u'\\n') ++m_line;", "", "lines between tokens not counted"),
    ("registrar/registry_script_lexer.cpp", "} else if (c == u'\\n') {\n      ++m_line;\n    }", "}", "lines inside a quoted string not counted"),
    ("registrar/registry_script_lexer.cpp", "error = {ScriptErrorCode::kUnterminatedString, token.line};", "error = {ScriptErrorCode::kUnterminatedString, m_line};", "unterminated string reported at the end line"),
    ("registrar/registry_script_lexer.cpp", "++m_pos;  // the second", "// the second", "doubled quote ends the string"),
    ("registrar/registry_script_lexer.cpp", "  token.line = m_line;\n", "", "token keeps the previous line"),
    ("registrar/registry_script_lexer.cpp", "!IsWhiteSpace(m_text[m_pos])) ++m_pos;", "!IsWhiteSpace(m_text[m_pos]) && m_text[m_pos] != u'\\'') ++m_pos;", "a quote ends a word"),
    ("registrar/registry_script_lexer.cpp", "if (word == u\"=\") return ScriptToken::Kind::kEquals;", "", "'=' is a word"),
    ("registrar/registry_script_parser.cpp", "{u\"HKU\", u\"HKEY_USERS\"", "{u\"HKUS\", u\"HKEY_USERS\"", "HKU not a root"),
    ("registrar/registry_script_parser.cpp", "EqualsIgnoreAsciiCase(word, name.shortName) || EqualsIgnoreAsciiCase(word, name.longName)", "word == name.shortName || word == name.longName", "root names case-sensitive"),
    ("registrar/registry_script_parser.cpp", "  else if (EqualsIgnoreAsciiCase(word, u\"Delete\"))\n    flag = KeyFlag::kDelete;\n", "", "Delete not a flag"),
    ("registrar/registry_script_parser.cpp", "!(isKey && name.find(u'\\\\')", "!(name.find(u'\\\\')", "backslash refused in value names"),
    ("registrar/registry_script_parser.cpp", "name.find(u'\\0') == std::u16string_view::npos &&", "", "NUL accepted in names"),
    ("registrar/registry_script_parser.cpp", "if (m_token.kind == Kind::kEnd) return Fail(ScriptErrorCode::kEmptyScript);", "", "empty script accepted"),
    ("registrar/registry_script_parser.cpp", "if (depth > kMaxScriptNesting)", "if (depth >= kMaxScriptNesting)", "nesting limit one short"),
    ("registrar/registry_script_parser.cpp", "return ParseBlock(root.keys, nullptr, 1);", "return ParseBlock(root.keys, nullptr, 0);", "nesting limit one long"),
    ("registrar/registry_script_parser.cpp", "if (m_token.kind == Kind::kWord && ReadFlag(", "if (ReadFlag(", "quoted flag word read as a flag"),
    ("registrar/registry_script_parser.cpp", "if (key.flag != KeyFlag::kDelete) {", "{", "Delete key takes a value and a block"),
    ("registrar/registry_script_parser.cpp", "Kind::kWord && IsEntryKeyword(m_token.text)", "Kind::kWord && IsValueKeyword(m_token.text)", "flag words accepted as names"),
    ("registrar/registry_script_parser.cpp", "if (m_token.kind != Kind::kWord) return FailUnexpected();\n  const std::u16string type", "if (m_token.kind == Kind::kEnd) return FailUnexpected();\n  const std::u16string type", "quoted value type accepted"),
    ("registrar/registry_script_utf8.cpp", "bytes.remove_prefix(kByteOrderMark.size());", "", "byte order mark kept"),
    ("registrar/registry_script_utf8.cpp", "lead = {1, byte & 0x1Fu, 0x80};", "lead = {1, byte & 0x1Fu, 0};", "2-byte overlong accepted"),
    ("registrar/registry_script_utf8.cpp", "lead = {3, byte & 0x07u, 0x10000};", "lead = {3, byte & 0x07u, 0x800};", "4-byte overlong accepted"),
    ("registrar/registry_script_utf8.cpp", "c > 0xDFFF", "c >= 0xDC00", "low surrogates accepted"),
    ("registrar/registry_script_utf8.cpp", "c < 0xD800", "c < 0xDC00", "high surrogates accepted"),
    ("registrar/registry_script_utf8.cpp", "if (bytes.size() - pos < static_cast<std::size_t>(lead.continuationCount)) return false;", "", "cut-short sequence read past the end"),
    ("registrar/registry_script_utf8.cpp", "if ((byte & 0xC0) != 0x80) return false;", "", "continuation bytes unchecked"),
    ("registrar/registry_script_utf8.cpp", "0xDC00 + (c & 0x3FF)", "0xDC00 + (c & 0x1FF)", "low surrogate loses a bit"),
    ("registrar/registry_script_value_data.cpp", "if (c >= u'a' && c <= u'f')", "if (c >= u'a' && c < u'f')", "f not a hex digit"),
    ("registrar/registry_script_value_data.cpp", "(text[1] == u'x' || text[1] == u'X')", "text[1] == u'x'", "0X prefix not read"),
    ("registrar/registry_script_value_data.cpp", "if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) return false;", "if (digit < 0) return false;", "hex letters accepted in decimal (d 1a)"),
    ("registrar/registry_script_value_data.cpp", "if (total > UINT32_MAX) return false;", "", "DWORD overflow wraps"),
    ("registrar/registry_script_value_data.cpp", "  if (text.empty()) return false;\n  std::uint64_t", "  std::uint64_t", "empty number reads as zero"),
    ("registrar/registry_script_value_data.cpp", "if (text.size() % 2 != 0) return false;", "", "odd binary length read past the end"),
    ("registrar/registry_script_value_data.cpp", "high * 16 + low", "low * 16 + high", "binary nibbles swapped"),
    ("registrar/registry_script_value_data.cpp", "if (item.empty()) return false;", "", "empty multi-string item accepted"),
    ("registrar/registry_script_value_data.cpp", "if (text.empty()) return true;", "if (text.empty()) return false;", "empty multi-string refused"),
    ("registrar/registry_script_value_data.cpp", "return valid ? ScriptErrorCode::kNone : ScriptErrorCode::kInvalidValueData;", "return ScriptErrorCode::kNone;", "invalid data accepted"),
    ("registrar/registry_script_variables.cpp", "    line += CountLines(literal);\n", "", "error line ignores the lines before"),
    ("registrar/registry_script_variables.cpp", "expanded += u'%';", "expanded += u\"%%\";", "%% stays doubled"),
    ("registrar/registry_script_variables.cpp", "if (found == variables.end()) return {ScriptErrorCode::kUnknownVariable, line};", "if (found == variables.end()) { pos = close + 1; continue; }", "unknown variable dropped silently"),
    ("registrar/registry_script_variables.cpp", "    pos = close + 1;\n", "    pos = close;\n", "closing percent opens the next variable"),
    ("registrar/registrar.cpp", "u\"Interface\", ", "", "Interface not protected"),
    ("registrar/registrar.cpp", "  return status == kRegistryNotFound ? kRegistryOk : status;\n}", "  return status;\n}", "removing an absent key fails"),
    ("registrar/registrar.cpp", "if (removeFirst && !IsNeverDeleted(entry.name)) {", "if (removeFirst) {", "ForceRemove deletes protected keys"),
    ("registrar/registrar.cpp", "entry.flag == KeyFlag::kForceRemove || entry.flag == KeyFlag::kDelete;", "entry.flag == KeyFlag::kForceRemove;", "Delete removes nothing"),
    ("registrar/registrar.cpp", "if (status != kRegistryNotFound) KeepFirstFailure(first, status);", "KeepFirstFailure(first, status);", "absent value fails unregistration"),
    ("registrar/registrar.cpp", "  KeepFirstFailure(first, UnregisterKeys(*key, entry.subkeys));\n", "", "kept key's subkeys left behind"),
    ("registrar/registrar.cpp", "  if (entry.flag == KeyFlag::kDelete) return kRegistryOk;\n  if (entry.flag == KeyFlag::kNoRemove", "  if (entry.flag == KeyFlag::kNoRemove", "Delete key removed at unregistration"),
    ("registrar/registrar.cpp", "if (entry.flag == KeyFlag::kNoRemove || IsNeverDeleted(entry.name)) {", "if (entry.flag == KeyFlag::kNoRemove) {", "protected keys removed at unregistration"),
    ("registrar/registrar.cpp", "for (const ScriptKey& entry : keys) KeepFirstFailure(first, UnregisterKey(parent, entry));", "for (const ScriptKey& entry : keys) if (RegistryStatus s = UnregisterKey(parent, entry)) return s;", "unregistration stops at the first failure"),
    ("registrar/registrar.cpp", "if (status != kRegistryOk) UnregisterScript(script, registry, otherView);", "", "failed registration not undone"),
    ("registrar/registrar.cpp", "!EqualsIgnoreAsciiCase(name, u\"CLSID\") &&", "", "own-view unregistration keeps the class keys"),
    ("registrar/registrar.cpp", "return root == RegistryRoot::kClassesRoot && ", "return ", "keys outside the classes root counted as shared"),
    ("registrar/registrar.cpp", "if (otherView == OtherView::kRegistered && IsSharedBetweenViews", "if (IsSharedBetweenViews", "every unregistration keeps the shared keys"),
    ("registrar/registrar.cpp", "UnregisterScript(script, registry, otherView);\n  return status;", "UnregisterScript(script, registry, OtherView::kUnregistered);\n  return status;", "failed registration beside the other build removes the shared keys"),
    ("registrar/registrar_key_tree.cpp", "if (status != kRegistryOk && status != kRegistryNotFound) return status;", "if (status != kRegistryOk) return status;", "subkey gone meanwhile fails the deletion"),
    ("registrar/registrar_key_tree.cpp", "if (const RegistryStatus status = DeleteSubkeys(*key)) return status;", "DeleteSubkeys(*key);", "subkey failure ignored"),
    ("registrar/registrar_key_tree.cpp", "if (const RegistryStatus status = key.ListSubkeys(names)) return status;", "key.ListSubkeys(names);", "listing failure ignored"),
    ("registrar/registrar_key_tree.cpp", "  key.reset();\n", "", "key still open when deleted"),
    ("registrar/registrar_variables.cpp", "if (c == u'\\'') doubled += c;", "", "module path quotes not doubled"),
    # --- common ---
    ("common/ascii_text.cpp", "c <= u'z'", "c < u'z'", "z not folded"),
    ("common/ascii_text.cpp", "c >= u'a'", "c > u'a'", "a not folded"),
    ("common/ascii_text.cpp", "return a.size() == b.size() &&", "return a.size() <= b.size() &&", "prefix equals the longer text"),
    ("common/ascii_text.cpp", "return FoldAsciiCase(a) < FoldAsciiCase(b);", "return a < b;", "ordering case-sensitive"),
    # --- pickers ---
    ("pickers/check_state.cpp", "if (own == CheckState::kNoBox) return ChildrenAgreement(tree, item);", "", "box-less item stands for itself"),
    ("pickers/check_state.cpp", "if (!standing) continue;", "if (!standing) return std::nullopt;", "unreadable child voids the agreement"),
    ("pickers/check_state.cpp", "if (!standing) continue;", "if (!standing) return CheckState::kPartial;", "unreadable child makes it partial"),
    ("pickers/check_state.cpp", "if (agreed && *agreed != *standing) return CheckState::kPartial;", "if (agreed && *agreed != *standing) continue;", "disagreement ignored"),
    ("pickers/scan_result.cpp", "if (tree.ReadState(child) != CheckState::kChecked) continue;", "if (tree.ReadState(child) == CheckState::kUnchecked) continue;", "unreadable or partial children listed"),
    ("pickers/scan_result.cpp", "  if (NamesLocation(path)) {\n", "  if (!path.empty()) {\n", "checked computer listed itself"),
    ("pickers/scan_result.cpp", "(state == CheckState::kPartial || state == CheckState::kNoBox)", "(state != CheckState::kChecked && state != CheckState::kUnchecked)", "unreadable items entered"),
    ("pickers/scan_result.cpp", "(state == CheckState::kPartial || state == CheckState::kNoBox)", "(state == CheckState::kPartial)", "box-less items not entered"),
    ("pickers/scan_result.cpp", "if (state == CheckState::kChecked) AppendCheckedItem", "if (state == CheckState::kChecked || state == CheckState::kPartial) AppendCheckedItem", "partial items listed"),
    ("pickers/scan_result.cpp", "NextInPreorder(tree, item, nullptr, DescendFor(state));", "NextInPreorder(tree, item, nullptr, Descend::kInto);", "checked items entered"),
    ("pickers/check_state.cpp", "if (!state) return CheckStateRule::kStateReadable;", "if (!state) return std::nullopt;", "unreadable state passes"),
    ("pickers/check_state.cpp", "if (below && *below != *state) return CheckStateRule::kBoxFollowsChildren;", "", "box against its children passes"),
    ("pickers/check_state.cpp", "if (!below && *state == CheckState::kPartial) return CheckStateRule::kLoneBoxNeverPartial;", "", "lone partial box passes"),
    ("pickers/check_state.cpp", "item = NextInPreorder(tree, item, nullptr, Descend::kInto)", "item = NextInPreorder(tree, item, nullptr, Descend::kPast)", "descendants never checked"),
    ("pickers/check_state.cpp", "IsEligible(tree, item) ? state : CheckState::kNoBox;", "state;", "ineligible descendants gain boxes"),
    ("pickers/check_state.cpp", "if (tree.ReadState(item) != wanted) WriteAndNotify(tree, item, wanted);", "WriteAndNotify(tree, item, wanted);", "unchanged descendants announced"),
    ("pickers/check_state.cpp", "NextInPreorder(tree, item, top, Descend::kInto)", "NextInPreorder(tree, item, nullptr, Descend::kInto)", "spreading down leaves the subtree"),
    ("pickers/check_state.cpp", "if (standing && *standing != state) return true;", "if (standing != state) return true;", "unreadable sibling disagrees"),
    ("pickers/check_state.cpp", "if (HasBox(tree.ReadState(ancestor))) WriteAndNotify", "WriteAndNotify", "box-less ancestors made partial"),
    ("pickers/check_state.cpp", "MarkAncestorsPartial(tree, item);\n      return;", "MarkAncestorsPartial(tree, item);\n      continue;", "spreading up goes on after a disagreement"),
    ("pickers/check_state.cpp", "return state == CheckState::kChecked ? CheckState::kUnchecked : CheckState::kChecked;", "return state == CheckState::kUnchecked ? CheckState::kChecked : CheckState::kUnchecked;", "click unchecks partial items"),
    ("pickers/check_state.cpp", "if (state != CheckState::kNoBox) return state;", "return state;", "box-less parent decides new items"),
    ("pickers/check_state.cpp", "return HasBox(tree.ReadState(item)) && ToggleCheck(tree, item);", "return ToggleCheck(tree, item);", "space bar toggles box-less items"),
    ("pickers/check_state.cpp", "NearestBoxedAncestorState(tree, item) == CheckState::kChecked;", "NearestBoxedAncestorState(tree, item) != CheckState::kUnchecked;", "new items under partial or unreadable start checked"),
    ("pickers/check_state_paths.cpp", "if (!storedPath.empty() && storedPath.front()", "while (!storedPath.empty() && storedPath.front()", "every leading marker dropped"),
    ("pickers/check_state_paths.cpp", "if (path.size() < 2 || path[1] != u':') return -1;", "if (path.size() < 2) return -1;", "drive letter needs no colon"),
    ("pickers/check_state_paths.cpp", "(letter >= u'a' && letter <= u'z')", "(letter >= u'a' && letter < u'z')", "drive Z refused"),
    ("pickers/check_state_paths.cpp", "if (StartsWith(path, kLongPathPrefix)) path.remove_prefix(kLongPathPrefix.size());", "", "long-path drives refused"),
    ("pickers/check_state_paths.cpp", "&& !IsServerRoot(path);", ";", "server roots gain boxes"),
    ("pickers/check_tree.cpp", "for (; item && item != top; item = tree.Parent(item))", "for (; item; item = tree.Parent(item))", "walk leaves its subtree"),
    ("pickers/check_tree.cpp", "for (; item && item != top; item = tree.Parent(item))", "for (; item && item != top; item = nullptr)", "walk never climbs back"),
    ("pickers/check_tree.cpp", "if (descend == Descend::kInto) {", "{", "walk enters what it should pass"),
    ("pickers/scan_result.cpp", "if (!list.empty()) list += u',';", "", "paths not comma-separated"),
    ("pickers/scan_result.cpp", "if (c == u'\\\\') doubled += c;", "", "backslashes not doubled"),
    ("pickers/scan_result.cpp", "digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));", "digits.push_back(static_cast<char16_t>(u'0' + value % 10));", "count digits reversed"),
    ("pickers/scan_result.cpp", "} while (value != 0);", "} while (value > 9);", "count's leading digit dropped"),
    ("pickers/scan_result.cpp", "if (paths.empty()) return {};", "", "no paths give an empty list"),
    ("pickers/shell_item_rules.cpp", "if (!traits.fileSystem && !traits.keptFolder)", "if (!traits.fileSystem)", "kept virtual folders dropped"),
    ("pickers/shell_item_rules.cpp", "{traits.folder, traits.hasSubfolder}", "{traits.folder, traits.folder}", "every folder expandable"),
    ("pickers/shell_item_rules.cpp", "if (path[i] == u'\\\\' || path[i] == u' ')", "if (path[i] == u'\\\\')", "space does not end an extension"),
    ("pickers/shell_item_rules.cpp", ": path.substr(dot);", ": path.substr(dot + 1);", "extension without its dot"),
    ("pickers/shell_item_rules.cpp", "ExtensionOf(parsingName) != kZipExtension", "!EqualsIgnoreAsciiCase(ExtensionOf(parsingName), kZipExtension)", "ZIP hidden in any case"),
    ("pickers/shell_item_rules.cpp", "parsingName.size() > kDriveRootLength", "parsingName.size() >= kDriveRootLength", "drive roots marked"),
    ("pickers/shell_item_rules.cpp", "return (order > 0) - (order < 0);", "return order;", "comparison not reduced to a sign"),
    # --- ui ---
    ("ui/frame_colors.cpp", "hue = (cB + 6.0 - cG) * 60.0;", "hue = (cB - cG) * 60.0;", "red sector not turned past zero"),
    ("ui/frame_colors.cpp", "hue = (cR + 2.0 - cB) * 60.0;", "hue = (cB + 2.0 - cR) * 60.0;", "green sector mirrored"),
    ("ui/frame_colors.cpp", "hue = (cG + 4.0 - cR) * 60.0;", "hue = (cG + 3.0 - cR) * 60.0;", "blue sector shifted"),
    ("ui/frame_colors.cpp", "    if (hue > 360) hue = hue - 360.0;\n", "", "hue not wrapped"),
    ("ui/frame_colors.cpp", "if (hue > 360)", "if (hue >= 360)", "hue of 360 wrapped to 0"),
    ("ui/frame_colors.cpp", "} else if (angle < 0) {\n    angle = angle + 360.0;\n  }", "}", "negative angle not wrapped"),
    ("ui/frame_colors.cpp", "} else if (angle < 180) {", "} else if (angle < 120) {", "full sector too short"),
    ("ui/frame_colors.cpp", "(240.0 - angle) / 60.0", "(angle - 180.0) / 60.0", "falling sector rises"),
    ("ui/frame_colors.cpp", "return static_cast<int>(v * 255.0);", "return static_cast<int>(v * 255.0 + 0.5);", "channel rounded, not truncated"),
    ("ui/frame_colors.cpp", "  if (s == 0) return MakeColorRef(hsl.lightness, hsl.lightness, hsl.lightness);\n", "", "grey goes through the hue path"),
    ("ui/frame_colors.cpp", "MakeColorRef(ChannelByte(h + 120.0, pv, qv), ChannelByte(h, pv, qv),\n                      ChannelByte(h - 120.0, pv, qv))", "MakeColorRef(ChannelByte(h - 120.0, pv, qv), ChannelByte(h, pv, qv),\n                      ChannelByte(h + 120.0, pv, qv))", "red and blue swapped"),
    ("ui/frame_colors.cpp", "AdjustByte(hsl.saturation, std::clamp(saturationPercent, -100, 100))", "AdjustByte(hsl.saturation, std::clamp(lightnessPercent, -100, 100))", "saturation follows the lightness percent"),
    ("ui/frame_colors.cpp", "AdjustColor(base, 70, 0);", "AdjustColor(base, 70, 30);", "inner border saturated"),
    ("ui/frame_colors.cpp", "AdjustColor(base, 70, 30);", "AdjustColor(base, 70, 20);", "active top saturation"),
    ("ui/frame_colors.cpp", "AdjustColor(base, 70, 20);", "AdjustColor(base, 70, 30);", "inactive bottom saturation"),
    ("ui/frame_colors.cpp", "AdjustColor(base, 50, 30);", "AdjustColor(base, 50, 0);", "button outline saturation"),
    ("ui/frame_colors.cpp", "AdjustColor(base, 100, 30);", "AdjustColor(base, 99, 30);", "hot button face lightness"),
    ("ui/caption_layout.cpp", "const int top = (cap + bw) / 4;", "const int top = cap / 4;", "top ignores the border"),
    ("ui/caption_layout.cpp", "clientRight - 2 * bw - clientLeft", "clientRight - bw - clientLeft", "right margin one border"),
    ("ui/caption_layout.cpp", "x -= width + bw;", "x -= width;", "maximise touches close"),
    ("ui/caption_layout.cpp", "x - (width + bw);", "x - width;", "minimise touches its neighbour"),
    ("ui/caption_layout.cpp", "layout.close = {boxes.sysMenu,", "layout.close = {true,", "close shown without a system menu"),
    ("ui/window_centring.cpp", "  if (start < areaStart) return areaStart;\n", "", "not pulled back from the left"),
    ("ui/window_centring.cpp", "  if (start + size > areaEnd) return areaEnd - size;\n", "", "not pulled back from the right"),
    ("ui/window_centring.cpp", "  if (start < areaStart) return areaStart;\n  if (start + size > areaEnd) return areaEnd - size;\n", "  if (start + size > areaEnd) return areaEnd - size;\n  if (start < areaStart) return areaStart;\n", "oversized window pushed out on the left"),
    ("ui/window_centring.cpp", "(refStart + refEnd) / 2 - size / 2", "(refStart + refEnd - size) / 2", "halves truncated together"),
    # --- transport ---
    ("transport/exchange_progress.cpp", "std::string_view(m_frame).substr(m_written)", "std::string_view(m_frame)", "pending write restarts at the frame start"),
    ("transport/exchange_progress.cpp", "std::min(m_frame.size(), m_written + written)", "m_written + written", "written count unclamped"),
    ("transport/exchange_progress.cpp", "if (m_written < m_frame.size())", "if (m_written + 1 < m_frame.size())", "last byte never written"),
    ("transport/exchange_progress.cpp", "  m_frame = std::string();  // the request", "  // the request", "request memory kept"),
    ("transport/exchange_progress.cpp", "  m_written = 0;\n", "", "written count not reset"),
    ("transport/exchange_progress.cpp", "return std::min(m_reply.BytesWanted(), kMaxReadPiece);", "return m_reply.BytesWanted();", "reads not bounded by the buffer"),
    ("transport/exchange_progress.cpp", "      return ExchangeEvent::kLengthKnown;", "      return ExchangeEvent::kReadMore;", "length arrival not reported"),
    # --- health ---
    ("health/service_query.cpp", "return QueryServiceRunning(source, name, running) != result::kOk || !running;", "return QueryServiceRunning(source, name, running) == result::kOk && !running;", "unqueryable service counts as up"),
    ("health/service_query.cpp", "  ServiceSession session(source);\n", "", "manager left open"),
    ("health/service_query.cpp", "if (IsServiceDown(source, service.first)) anyDown = true;", "if (IsServiceDown(source, service.first)) return true;", "stops at the first down service"),
    ("health/service_query.cpp", "if (IsServiceDown(source, service.first)) stopped.insert(service);", "if (!IsServiceDown(source, service.first)) stopped.insert(service);", "running services collected"),
    ("health/service_table.cpp", "while (length < kServiceFieldLength && field[length] != u'\\0')", "while (field[length] != u'\\0')", "full field read past its end"),
    ("health/service_table.cpp", "    if (row->id != rowId) continue;\n", "", "first row taken whatever its id"),
    ("health/service_table.cpp", "    break;\n  }\n  return services;", "  }\n  return services;", "later matching rows merged"),
    ("health/service_table.cpp", "if (entry.name[0] == u'\\0') break;", "if (entry.name[0] == u'\\0') continue;", "entries after an empty name read"),
    ("health/service_table.cpp", "services.emplace(FieldText(entry.name), FieldText(entry.startArgument));", "services.insert_or_assign(FieldText(entry.name), FieldText(entry.startArgument));", "repeated name takes its last argument"),
    ("health/connection_repair.cpp", "while (first < count) {", "while (first + 1 < count) {", "last service never queried"),
    ("health/connection_repair.cpp", "    if (!running) break;\n", "", "stopped services dropped too"),
    ("health/connection_repair.cpp", "timeoutMs / kWaitWalkMs;", "timeoutMs / intervalMs;", "walks counted from the interval"),
    ("health/connection_repair.cpp", "    if (first == names.size()) return result::kOk;\n", "", "pause after every service runs"),
    ("health/connection_repair.cpp", "return first == names.size() ? result::kOk : result::kServicesNotRunning;", "return result::kServicesNotRunning;", "no walk, no success"),
    ("health/connection_repair.cpp", "if (Result error = source.OpenServiceForQuery(name)) return error;", "source.OpenServiceForQuery(name);", "open failure ignored"),
    ("health/connection_repair.cpp", "    launchRepairTool();\n", "", "repair tool never started"),
    ("health/connection_repair.cpp", "    names.push_back(service.first);\n", "", "waits for nothing"),
    ("health/connection_repair.cpp", "for (const auto& service : stopped)", "for (const auto& service : services)", "waits for running services too"),
    # --- sitelock ---
    ("sitelock/trusted_page_rule.cpp", "return c > u' ' && c < 0x7F;", "return c >= u' ' && c < 0x7F;", "space allowed in addresses"),
    ("sitelock/trusted_page_rule.cpp", "afterScheme.find_first_of(u\"/?#\")", "afterScheme.find_first_of(u\"/?\")", "fragment read as authority"),
    ("sitelock/trusted_page_rule.cpp", "if (text.size() - i < 3) return false;", "if (text.size() - i < 4) return false;", "escape at the very end refused"),
    ("sitelock/trusted_page_rule.cpp", "if (segment == u\".\" || segment == u\"..\") return false;", "if (segment == u\"..\") return false;", "'.' segment accepted"),
    ("sitelock/trusted_page_rule.cpp", "const bool inside = start != 0 && end != decoded.size();", "const bool inside = end != decoded.size();", "leading separator refused"),
    ("sitelock/trusted_page_rule.cpp", "if (segment.empty() && inside) return false;", "", "empty segments accepted"),
    ("sitelock/trusted_page_rule.cpp", "EqualIgnoringCase(parts.scheme, u\"file\") && parts.authority.empty() &&", "EqualIgnoringCase(parts.scheme, u\"file\") &&", "file address with a host accepted"),
    ("sitelock/trusted_page_rule.cpp", "IsCleanPath(path) && isLocalDrive(path[1]);", "IsCleanPath(path);", "file on any drive accepted"),
    ("sitelock/trusted_page_rule.cpp", "IsCleanPath(parts.authority) && IsCleanPath(PathOf(parts.rest));", "IsCleanPath(PathOf(parts.rest));", "module name unchecked"),
    ("sitelock/trusted_page_rule.cpp", "find_first_of(u\"%@\\\\\")", "find_first_of(u\"%\\\\\")", "user name allowed in prefixes"),
    ("sitelock/trusted_page_rule.cpp", "EqualIgnoringCase(address.authority, allowed.authority)", "EqualIgnoringCase(address.authority.substr(0, allowed.authority.size()), allowed.authority)", "authority matched as a prefix"),
    ("sitelock/trusted_page_rule.cpp", "return IsCleanPath(PathOf(parts.rest)) &&\n         std::any_of", "return std::any_of", "allow-listed path may climb"),
]]


def check_table(mutants):
    """The table's faults, one line each: a snippet must name one place."""
    problems = []
    seen = set()
    for number, mutant in enumerate(mutants, 1):
        path = SOURCES / mutant.file
        where = f"row {number} ({mutant.name})"
        if mutant.name in seen:
            problems.append(f"{where}: label used twice in this file")
        seen.add(mutant.name)
        if not path.is_file():
            problems.append(f"{where}: no such file src/{mutant.file}")
            continue
        count = path.read_text().count(mutant.original)
        if count != 1:
            problems.append(f"{where}: snippet occurs {count} times, not once: {mutant.original!r}")
        if mutant.original == mutant.replacement:
            problems.append(f"{where}: replacement equals the original")
    return problems


def run(command, timeout=None):
    """The command's exit code, or None when it outlives the timeout. It runs
    in a process group of its own, so a timeout or an interruption also ends
    the compilers it started: one left running could write a mutant's object
    after the source is restored, and the next build would take it as new."""
    with subprocess.Popen(NICE + command, cwd=ROOT, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=True) as process:
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()


def changed_sources():
    return subprocess.run(["git", "status", "--porcelain", "--", "src"], cwd=ROOT,
                          capture_output=True, text=True, check=True).stdout.strip()


@dataclass(frozen=True)
class BuildTree:
    directory: str
    preset: str  # configured like this preset, but in its own directory

    def prepare(self):
        if not (ROOT / self.directory / "CMakeCache.txt").exists():
            if run(["cmake", "--preset", self.preset, "-B", self.directory]) != 0:
                sys.exit(f"mutate: cannot configure {self.directory}")

    def build(self, jobs):
        return run(["cmake", "--build", self.directory, "--target", "zx_portable_tests",
                    "-j", str(jobs)]) == 0

    def tests_pass(self):
        """False when a test fails or the run hangs."""
        return run([f"{self.directory}/tests/zx_portable_tests"], timeout=TEST_TIMEOUT_S) == 0


NATIVE = BuildTree("build/mutate", "host")
SANITIZED = BuildTree("build/mutate-asan", "host-asan")


@contextlib.contextmanager
def applied(mutant):
    """The file holds the mutant inside the block, and its own text after it."""
    path = SOURCES / mutant.file
    original = path.read_text()
    path.write_text(original.replace(mutant.original, mutant.replacement, 1))
    try:
        yield
    finally:
        path.write_text(original)


def judge(mutant, tree, jobs):
    with applied(mutant):
        if not tree.build(jobs):
            return "stillborn"
        return "survived" if tree.tests_pass() else "killed"


def run_pass(mutants, tree, jobs, title):
    """Judges every mutant in tree; returns {mutant: outcome}."""
    tree.prepare()
    # A run killed outright may have left a mutant's object newer than its
    # restored source: have every file the mutants touch compiled afresh.
    for path in {SOURCES / m.file for m in mutants}:
        path.touch()
    if not (tree.build(jobs) and tree.tests_pass()):
        sys.exit(f"mutate: the unchanged sources do not build or pass their tests in {tree.directory}")
    outcomes = {}
    for number, mutant in enumerate(mutants, 1):
        started = time.monotonic()
        outcomes[mutant] = judge(mutant, tree, jobs)
        print(f"{title} [{number:3}/{len(mutants)}] {outcomes[mutant]:9} {mutant.name}"
              f"  ({time.monotonic() - started:.0f} s)", flush=True)
    return outcomes


def count(outcomes, outcome):
    return sum(1 for value in outcomes.values() if value == outcome)


def kill_rate(killed, total, stillborn):
    viable = total - stillborn
    return f"{100.0 * killed / viable:.1f}%" if viable else "n/a"


def write_survivors(survivors):
    path = ROOT / NATIVE.directory / "survivors.txt"
    path.write_text("".join(f"{m.name}: {m.original!r} -> {m.replacement!r}\n" for m in survivors))
    return path


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", metavar="TEXT", help="only mutants whose file or label contains TEXT")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--jobs", type=int, default=1, help="parallel build jobs (default 1)")
    parser.add_argument("--asan", action="store_true",
                        help="run the survivors again under ASan and UBSan")
    return parser.parse_args()


def main():
    arguments = parse_arguments()
    problems = check_table(MUTANTS)
    if problems:
        sys.exit("mutate: bad table rows:\n  " + "\n  ".join(problems))
    mutants = [m for m in MUTANTS if not arguments.only or arguments.only in m.name]
    if arguments.list:
        for number, mutant in enumerate(mutants, 1):
            print(f"{number:3} {mutant.name}")
        return
    if changed_sources():
        sys.exit("mutate: src/ has uncommitted changes; the sources must be clean to start")
    # Termination, like Ctrl-C, must still put back the file under mutation.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("mutate: terminated"))

    started = time.monotonic()
    try:
        outcomes = run_pass(mutants, NATIVE, arguments.jobs, "native")
        survivors = [m for m in mutants if outcomes[m] == "survived"]
        killed, stillborn = count(outcomes, "killed"), count(outcomes, "stillborn")
        asan_kills = 0
        if arguments.asan and survivors:
            second = run_pass(survivors, SANITIZED, arguments.jobs, "asan")
            asan_kills = count(second, "killed")
            survivors = [m for m in survivors if second[m] != "killed"]
    finally:
        left = changed_sources()
        if left:
            print(f"mutate: src/ is NOT clean after the run:\n{left}", file=sys.stderr)
    print(f"total {len(mutants)}, killed {killed}, survived {count(outcomes, 'survived')}, "
          f"stillborn {stillborn}, kill rate {kill_rate(killed, len(mutants), stillborn)}")
    if arguments.asan:
        print(f"asan: {asan_kills} more killed, kill rate with asan "
              f"{kill_rate(killed + asan_kills, len(mutants), stillborn)}")
    print(f"survivors ({len(survivors)}) in {write_survivors(survivors)}")
    print(f"time {(time.monotonic() - started) / 60:.1f} min")
    if left:
        sys.exit(1)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit("mutate: interrupted")
