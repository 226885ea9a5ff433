// A write-only COM stream that collects what is written into a byte string. The platform's
// stream over global memory grows by exactly each write, which makes saving a large document
// quadratic; this one grows geometrically.
#pragma once

#include <objidl.h>

#include <string>

class CMemoryWriteStream final : public IStream {
 public:
  // Created with one reference, owned by the caller.
  static CMemoryWriteStream* Create();

  const std::string& Bytes() const { return bytes_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) noexcept override;
  // IStream: only what a writer asks about its position.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) noexcept override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return E_NOTIMPL; }

 private:
  CMemoryWriteStream() = default;
  ~CMemoryWriteStream() = default;

  LONG references_ = 1;
  std::string bytes_;
};
