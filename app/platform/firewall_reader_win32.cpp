// The Windows firewall's policy through INetFwPolicy2, which any user may read. Any failure, and
// Wine's E_NOTIMPL, gives no reading.
#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <utility>

#include "app/firewall_reading.h"
#include "text/codepage.h"

namespace quenmora::app {
namespace {

template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }
  Interface& operator*() const { return *pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }
  BSTR* Out() { return &text_; }
  std::u16string Text() const {  // a null BSTR is an empty one
    return text_ ? std::u16string(reinterpret_cast<const char16_t*>(text_), SysStringLen(text_))
                 : std::u16string();
  }

 private:
  BSTR text_ = nullptr;
};

// COM on the calling thread for the time of one reading; a thread that already has COM, in
// either model, keeps it.
class ComOnThisThread {
 public:
  ComOnThisThread() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;
  ~ComOnThisThread() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

std::u16string ProgramPath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()), size);
    if (length == 0) return {};
    if (length < size) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

// Rules may name their program as "%ProgramFiles%\...".
std::u16string Expanded(std::u16string path) {
  if (path.find(u'%') == std::u16string::npos) return path;
  const auto* source = reinterpret_cast<const wchar_t*>(path.c_str());
  const DWORD size = ExpandEnvironmentStringsW(source, nullptr, 0);
  if (size == 0) return path;
  std::u16string expanded(size, u'\0');
  const DWORD written =
      ExpandEnvironmentStringsW(source, reinterpret_cast<wchar_t*>(expanded.data()), size);
  if (written == 0 || written > size) return path;
  expanded.resize(written - 1);  // without its terminating zero
  return expanded;
}

std::optional<FirewallRule> RuleOf(INetFwRule& source) {
  NET_FW_RULE_DIRECTION direction{};
  VARIANT_BOOL enabled{};
  NET_FW_ACTION action{};
  Bstr application, ports;
  LONG protocol = 0, profiles = 0;
  if (FAILED(source.get_Direction(&direction)) || FAILED(source.get_Enabled(&enabled)) ||
      FAILED(source.get_Action(&action)) || FAILED(source.get_ApplicationName(application.Out())) ||
      FAILED(source.get_Protocol(&protocol)) || FAILED(source.get_LocalPorts(ports.Out())) ||
      FAILED(source.get_Profiles(&profiles)))
    return std::nullopt;
  return FirewallRule{
      .direction = direction == NET_FW_RULE_DIR_IN ? FirewallDirection::kInbound
                                                   : FirewallDirection::kOutbound,
      .enabled = enabled != VARIANT_FALSE,
      .action = action == NET_FW_ACTION_ALLOW ? FirewallAction::kAllow : FirewallAction::kBlock,
      .application = Expanded(application.Text()),
      .protocol = static_cast<int>(protocol),
      .localPorts = text::Utf16ToMultiByte(ports.Text(), text::kCodePageGbk),
      .profiles = static_cast<std::uint32_t>(profiles),
  };
}

bool ReadRules(INetFwPolicy2& policy, std::vector<FirewallRule>& rules) {
  ComRef<INetFwRules> collection;
  ComRef<IUnknown> enumerator;
  ComRef<IEnumVARIANT> each;
  if (FAILED(policy.get_Rules(collection.Out())) ||
      FAILED(collection->get__NewEnum(enumerator.Out())) ||
      FAILED(enumerator->QueryInterface(__uuidof(IEnumVARIANT), each.OutVoid())))
    return false;
  for (;;) {
    VARIANT item;
    VariantInit(&item);
    ULONG fetched = 0;
    const HRESULT next = each->Next(1, &item, &fetched);
    if (FAILED(next)) return false;
    if (next != S_OK || fetched == 0) return true;
    ComRef<INetFwRule> rule;
    std::optional<FirewallRule> read;
    if (item.vt == VT_DISPATCH && item.pdispVal &&
        SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule), rule.OutVoid())))
      read = RuleOf(*rule);
    VariantClear(&item);
    if (!read) return false;
    rules.push_back(std::move(*read));
  }
}

std::optional<FirewallReading> Read(INetFwPolicy2& policy) {
  FirewallReading reading{.program = ProgramPath()};
  LONG current = 0;
  NET_FW_MODIFY_STATE modifyState{};
  if (reading.program.empty() || FAILED(policy.get_CurrentProfileTypes(&current)) ||
      FAILED(policy.get_LocalPolicyModifyState(&modifyState)))
    return std::nullopt;
  reading.localPolicyOverridden = modifyState != NET_FW_MODIFY_STATE_OK;
  for (const std::uint32_t type : {kFirewallDomain, kFirewallPrivate, kFirewallPublic}) {
    if ((static_cast<std::uint32_t>(current) & type) == 0) continue;
    const auto profileType = static_cast<NET_FW_PROFILE_TYPE2>(type);
    VARIANT_BOOL enabled{}, blockAll{};
    NET_FW_ACTION defaultInbound{};
    if (FAILED(policy.get_FirewallEnabled(profileType, &enabled)) ||
        FAILED(policy.get_BlockAllInboundTraffic(profileType, &blockAll)) ||
        FAILED(policy.get_DefaultInboundAction(profileType, &defaultInbound)))
      return std::nullopt;
    reading.currentProfiles.push_back({
        .type = type,
        .enabled = enabled != VARIANT_FALSE,
        .blockAllInbound = blockAll != VARIANT_FALSE,
        .defaultInbound =
            defaultInbound == NET_FW_ACTION_ALLOW ? FirewallAction::kAllow : FirewallAction::kBlock,
    });
  }
  if (!ReadRules(policy, reading.rules)) return std::nullopt;
  return reading;
}

}  // namespace

std::optional<FirewallReading> ReadFirewall() {
  const ComOnThisThread com;  // declared first, so it ends after every reference below
  if (!com.usable()) return std::nullopt;
  ComRef<INetFwPolicy2> policy;
  if (FAILED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(INetFwPolicy2), policy.OutVoid())))
    return std::nullopt;
  return Read(*policy);
}

}  // namespace quenmora::app
