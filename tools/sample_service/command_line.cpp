#include "command_line.h"

#include <cstdlib>
#include <map>

#include "common/pipe_names.h"

namespace zxsample {
namespace {

const wchar_t kUsage[] =
    L"zxsample_service.exe [options]\n"
    L"\n"
    L"Endpoint:\n"
    L"  --pipe <name>           listen on \\\\.\\Pipe\\<name> (default zxsample)\n"
    L"  --segment <service>     register the pipe name as value \"Name\" of\n"
    L"                          HKLM\\<sp-root><service> while serving\n"
    L"  --sp-root <key path>    SP root below HKLM (default\n"
    L"                          SOFTWARE\\Velmora\\ZevCommon\\SP_ROOT\\)\n"
    L"  --unregister            delete HKLM\\<sp-root><service> and exit\n"
    L"  --unregister-at-exit    delete it when serving stops normally\n"
    L"\n"
    L"Reply (each connection: one request frame in, one reply frame out):\n"
    L"  --reply echo            {\"path\":\"<path>\",\"json\":<json>} (default)\n"
    L"  --reply file <path>     the bytes of a file\n"
    L"  --reply error-code <n>  {\"error_code\":\"<n>\"}; 0x... is written as\n"
    L"                          a signed decimal, anything else verbatim\n"
    L"  --reply zero-length     a frame of length 0\n"
    L"  --size <n>              repeat or cut the body to exactly n bytes\n"
    L"  --partial <k>           announce the body, send only k bytes, close\n"
    L"  --short <extra>         announce extra bytes more than sent, close\n"
    L"  --huge                  announce 0xFFFFFFF0 bytes, send 16, close\n"
    L"  --one-write             header and body in one WriteFile (default)\n"
    L"  --many-writes           header and body in separate WriteFile calls\n"
    L"  --drip <piece> <ms>     pieces of <piece> bytes, <ms> apart\n"
    L"  --delay <ms>            wait before replying\n"
    L"\n"
    L"Running:\n"
    L"  --log <file>            append each request payload to <file> as a\n"
    L"                          4-byte little-endian length and the bytes\n"
    L"  --ready-event <name>    set this named event once listening (without\n"
    L"                          it, \"ready\" is printed on standard output)\n"
    L"  --stop-event <name>     stop when this named event is set\n"
    L"  --max-requests <n>      stop after answering n requests\n"
    L"  --exit-after <ms>       stop after ms milliseconds\n"
    L"  --single-instance       keep one pipe instance, serve each client on the\n"
    L"                          thread that accepted it, then listen again\n"
    L"  --service <name>        run under the Service Control Manager\n"
    L"  --start-pending <ms>    as a service, stay START_PENDING this long\n"
    L"                          (forever: until stopped)\n"
    L"  --install <name> [options]  create a demand-start service that runs\n"
    L"                          this program with --service <name> [options]\n"
    L"  --uninstall <name>      stop and delete the service\n"
    L"  --help\n"
    L"\n"
    L"Exit code: 0 done, 1 failed, 2 bad command line.\n";

// Options of one group exclude each other.
enum class Group { kNone, kAction, kBody, kShape, kWrites };

class Parser {
 public:
  Parser(const std::vector<std::wstring>& args, ServiceOptions& options, std::wstring& error)
      : m_args(args), m_options(options), m_error(error) {}

  bool Run() {
    while (m_next < m_args.size()) {
      size_t first = m_next;
      m_current = m_args[m_next++];
      if (!ParseOption(m_current)) return false;
      if (m_current != L"--install") {
        m_options.servingArguments.insert(m_options.servingArguments.end(), m_args.begin() + first,
                                          m_args.begin() + m_next);
      }
    }
    return Validate();
  }

 private:
  using Handler = bool (Parser::*)();
  struct Option {
    Group group;
    Handler handler;
  };

  bool ParseOption(const std::wstring& name) {
    static const std::map<std::wstring, Option> options = {
        {L"--pipe", {Group::kNone, &Parser::Pipe}},
        {L"--segment", {Group::kNone, &Parser::Segment}},
        {L"--sp-root", {Group::kNone, &Parser::SpRoot}},
        {L"--unregister", {Group::kAction, &Parser::Unregister}},
        {L"--unregister-at-exit", {Group::kNone, &Parser::UnregisterAtExit}},
        {L"--reply", {Group::kBody, &Parser::Reply}},
        {L"--size", {Group::kNone, &Parser::Size}},
        {L"--partial", {Group::kShape, &Parser::Partial}},
        {L"--short", {Group::kShape, &Parser::Short}},
        {L"--huge", {Group::kShape, &Parser::Huge}},
        {L"--one-write", {Group::kWrites, &Parser::OneWrite}},
        {L"--many-writes", {Group::kWrites, &Parser::ManyWrites}},
        {L"--drip", {Group::kWrites, &Parser::Drip}},
        {L"--delay", {Group::kNone, &Parser::Delay}},
        {L"--log", {Group::kNone, &Parser::Log}},
        {L"--ready-event", {Group::kNone, &Parser::ReadyEvent}},
        {L"--stop-event", {Group::kNone, &Parser::StopEvent}},
        {L"--max-requests", {Group::kNone, &Parser::MaxRequests}},
        {L"--exit-after", {Group::kNone, &Parser::ExitAfter}},
        {L"--single-instance", {Group::kNone, &Parser::SingleInstance}},
        {L"--service", {Group::kAction, &Parser::Service}},
        {L"--start-pending", {Group::kNone, &Parser::StartPending}},
        {L"--install", {Group::kAction, &Parser::Install}},
        {L"--uninstall", {Group::kAction, &Parser::Uninstall}},
        {L"--help", {Group::kAction, &Parser::Help}},
    };
    auto found = options.find(name);
    if (found == options.end()) return Fail(L"unknown option " + name);
    if (!Claim(found->second.group, name)) return false;
    return (this->*found->second.handler)();
  }

  bool Claim(Group group, const std::wstring& name) {
    if (group == Group::kNone) return true;
    auto [claimed, isNew] = m_groupOwners.emplace(group, name);
    if (isNew) return true;
    return Fail(name + L" conflicts with " + claimed->second);
  }

  bool Fail(std::wstring message) {
    m_error = std::move(message);
    return false;
  }

  bool TakeText(std::wstring& value) {
    if (m_next >= m_args.size()) return Fail(m_current + L" needs a value");
    value = m_args[m_next++];
    return true;
  }

  bool TakeNumber(std::uint32_t& value) {
    std::wstring text;
    if (!TakeText(text)) return false;
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos ||
        text.size() > 10 || std::wcstoull(text.c_str(), nullptr, 10) > 0xFFFFFFFFull) {
      return Fail(L"not a number: " + text);
    }
    value = static_cast<std::uint32_t>(std::wcstoull(text.c_str(), nullptr, 10));
    return true;
  }

  bool TakePositive(std::uint32_t& value) {
    if (!TakeNumber(value)) return false;
    return value != 0 || Fail(m_current + L" needs a number above 0");
  }

  bool TakeNonEmpty(std::wstring& value) {
    if (!TakeText(value)) return false;
    return !value.empty() || Fail(m_current + L" needs a non-empty value");
  }

  bool Pipe() { return TakeNonEmpty(m_options.pipeName); }
  bool Segment() { return TakeNonEmpty(m_options.segment); }
  bool SpRoot() {
    if (!TakeText(m_options.spRoot)) return false;
    // The lookup appends the segment directly, so the root must end the path.
    if (m_options.spRoot.empty() || m_options.spRoot.back() != L'\\') m_options.spRoot += L'\\';
    return true;
  }
  bool Unregister() { return SetAction(Action::kUnregister); }
  bool UnregisterAtExit() { return SetFlag(m_options.unregisterAtExit); }
  bool SingleInstance() { return SetFlag(m_options.singleInstance); }
  static bool SetFlag(bool& flag) {
    flag = true;
    return true;
  }

  bool Reply() {
    std::wstring mode;
    if (!TakeText(mode)) return false;
    ReplyOptions& reply = m_options.reply;
    if (mode == L"echo") {
      reply.body = ReplyBody::kEcho;
    } else if (mode == L"zero-length") {
      reply.body = ReplyBody::kZeroLength;
    } else if (mode == L"file") {
      reply.body = ReplyBody::kFile;
      return TakeNonEmpty(reply.filePath);
    } else if (mode == L"error-code") {
      reply.body = ReplyBody::kErrorCode;
      return ErrorCode();
    } else {
      return Fail(L"unknown reply mode " + mode);
    }
    return true;
  }

  bool ErrorCode() {
    std::wstring text;
    if (!TakeText(text)) return false;
    std::string& out = m_options.reply.errorCodeText;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
      wchar_t* end = nullptr;
      unsigned long long bits = std::wcstoull(text.c_str() + 2, &end, 16);
      if (*end != L'\0' || bits > 0xFFFFFFFFull) return Fail(L"not a 32-bit hex number: " + text);
      out = std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
      return true;
    }
    // Verbatim, so that odd texts can be fed to the client's parser.
    out.clear();
    for (wchar_t c : text) {
      if (c > 0x7F) return Fail(L"error code text must be ASCII: " + text);
      out += static_cast<char>(c);
    }
    return true;
  }

  bool Size() { return TakePositive(m_options.reply.size); }
  bool Partial() {
    return SetShape(FrameShape::kPartial) && TakeNumber(m_options.reply.shapeCount);
  }
  bool Short() { return SetShape(FrameShape::kShort) && TakePositive(m_options.reply.shapeCount); }
  bool Huge() { return SetShape(FrameShape::kHuge); }
  bool OneWrite() { return SetWrites(WritePattern::kOneWrite); }
  bool ManyWrites() { return SetWrites(WritePattern::kManyWrites); }
  bool Drip() {
    std::uint32_t delay = 0;
    if (!SetWrites(WritePattern::kDrip) || !TakePositive(m_options.reply.dripPiece)) return false;
    if (!TakeNumber(delay)) return false;
    m_options.reply.dripDelayMs = delay;
    return true;
  }
  bool Delay() { return TakeMilliseconds(m_options.reply.delayMs); }
  bool Log() { return TakeNonEmpty(m_options.logPath); }
  bool ReadyEvent() { return TakeNonEmpty(m_options.readyEvent); }
  bool StopEvent() { return TakeNonEmpty(m_options.stopEvent); }
  bool MaxRequests() { return TakePositive(m_options.maxRequests); }
  bool ExitAfter() {
    if (!TakeMilliseconds(m_options.exitAfterMs)) return false;
    return m_options.exitAfterMs != 0 || Fail(L"--exit-after needs a number above 0");
  }
  bool Service() { return SetAction(Action::kRunAsService) && TakeText(m_options.serviceName); }
  bool StartPending() {
    if (m_next < m_args.size() && m_args[m_next] == L"forever") {
      ++m_next;
      m_options.startPendingMs = INFINITE;
      return true;
    }
    return TakeMilliseconds(m_options.startPendingMs);
  }
  bool Install() { return SetAction(Action::kInstall) && TakeText(m_options.serviceName); }
  bool Uninstall() { return SetAction(Action::kUninstall) && TakeText(m_options.serviceName); }
  bool Help() { return SetAction(Action::kHelp); }

  bool TakeMilliseconds(DWORD& value) {
    std::uint32_t ms = 0;
    if (!TakeNumber(ms)) return false;
    if (ms == INFINITE) return Fail(L"too many milliseconds");
    value = ms;
    return true;
  }
  bool SetAction(Action action) {
    m_options.action = action;
    return true;
  }
  bool SetShape(FrameShape shape) {
    m_options.reply.shape = shape;
    return true;
  }
  bool SetWrites(WritePattern writes) {
    m_options.reply.writes = writes;
    return true;
  }

  bool Validate() {
    const ServiceOptions& o = m_options;
    bool needsSegment = o.action == Action::kUnregister || o.unregisterAtExit;
    if (needsSegment && o.segment.empty()) return Fail(L"unregistering needs --segment");
    bool zeroLength = o.reply.body == ReplyBody::kZeroLength;
    if (zeroLength && (o.reply.size != 0 || o.reply.shape != FrameShape::kComplete)) {
      return Fail(L"--reply zero-length has no body to size or cut");
    }
    bool asService = o.action == Action::kRunAsService || o.action == Action::kInstall;
    if (o.startPendingMs != 0 && !asService) return Fail(L"--start-pending needs --service");
    return true;
  }

  const std::vector<std::wstring>& m_args;
  ServiceOptions& m_options;
  std::wstring& m_error;
  size_t m_next = 0;
  std::wstring m_current;  // the option being parsed, for messages
  std::map<Group, std::wstring> m_groupOwners;
};

}  // namespace

bool ParseCommandLine(const std::vector<std::wstring>& args, ServiceOptions& options,
                      std::wstring& error) {
  options = ServiceOptions{};
  options.spRoot = zx::kDefaultSpRootKeyPath;
  return Parser(args, options, error).Run();
}

const wchar_t* UsageText() { return kUsage; }

}  // namespace zxsample
