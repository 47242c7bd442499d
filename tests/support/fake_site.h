#pragma once
// A page host's site as the objects see it: a service provider that may
// offer the browser, which tells the page's address, and the shell browser,
// whose window owns the pickers' dialogs.
#include <windows.h>
#include <oleidl.h>
#include <servprov.h>

namespace zx::test {

// A page of the suite on this machine.
inline constexpr wchar_t kLocalSuitePage[] =
    L"file:///C:/Program%20Files/Velmora/Zev/status.html";

class FakeSite final : public IServiceProvider, public IOleWindow {
 public:
  struct Offer {
    bool browser = true;
    // The browser's page address; null: asking for it fails.
    const wchar_t* location = kLocalSuitePage;
    bool shellBrowser = true;
    // Null: the shell browser's GetWindow fails.
    HWND window = nullptr;
  };

  explicit FakeSite(const Offer& offer) : m_offer(offer) {}
  virtual ~FakeSite() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;

  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // Services asked for, so a test can see that nothing else was.
  int QueryCount() const { return m_queries; }

 private:
  Offer m_offer;
  ULONG m_refs = 1;
  int m_queries = 0;
};

}  // namespace zx::test
