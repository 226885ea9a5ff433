// The test host's stand-ins for the browser: a dispatch object answering members by name (the
// band reaches the browser's objects so), which can also be the source of the browser's events,
// and the band's site in the host window.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <servprov.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/unique_handle_win.h"

using FakeMember = std::function<HRESULT(const DISPPARAMS& params, VARIANT* result)>;

class CFakeDispatch final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
 public:
  // `answers`: the interface ids the object claims, all answered by its dispatch interface.
  explicit CFakeDispatch(std::vector<IID> answers) : answers_(std::move(answers)) {}
  void AddMember(std::wstring name, FakeMember member) { members_.emplace_back(std::move(name), std::move(member)); }
  // Offers the browser's event connection point.
  void OfferEvents() { events_ = true; }
  IDispatch* Sink() const { return sink_.get(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() noexcept override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) noexcept override;
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) noexcept override;
  STDMETHODIMP GetConnectionInterface(IID* iid) noexcept override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) noexcept override;
  STDMETHODIMP Unadvise(DWORD cookie) noexcept override;
  STDMETHODIMP EnumConnections(IEnumConnections**) noexcept override { return E_NOTIMPL; }

 private:
  ~CFakeDispatch() = default;
  ULONG refs_ = 1;
  std::vector<IID> answers_;
  std::vector<std::pair<std::wstring, FakeMember>> members_;
  bool events_ = false;
  com_ptr<IDispatch> sink_;
};

class CFakeSite final : public IOleWindow, public IServiceProvider {
 public:
  CFakeSite(HWND rebar, IDispatch* browser) : rebar_(rebar), browser_(browser) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() noexcept override;
  STDMETHODIMP GetWindow(HWND* window) noexcept override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) noexcept override;

 private:
  ~CFakeSite() = default;
  ULONG refs_ = 1;
  HWND rebar_;
  IDispatch* browser_;  // lives as long as the host
};

// A property that answers text, and one that answers an object.
FakeMember TextMember(std::wstring text);
FakeMember ObjectMember(IDispatch* object);
