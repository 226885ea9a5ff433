// Move-only owners for Windows handles and COM pointers: one template, one alias per kind.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>
#include <wincrypt.h>

#include <utility>

// Traits give the handle type, its invalid value and how to close it.
template <typename Traits>
class unique_any {
 public:
  using T = typename Traits::type;

  unique_any() noexcept = default;
  explicit unique_any(T value) noexcept : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
  T release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) noexcept {
    T old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For out-parameters of creating functions; frees what was held first.
  T* put() noexcept {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

template <typename Handle, auto CloseFunction>
struct NullInvalidTraits {
  using type = Handle;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseFunction(h); }
};

// CryptoAPI handles are integers, not pointers; 0 is the invalid value.
template <typename Handle, auto CloseFunction>
struct ZeroInvalidTraits {
  using type = Handle;
  static Handle Invalid() noexcept { return 0; }
  static void Close(Handle h) noexcept { CloseFunction(h); }
};

template <auto CloseFunction>
struct FileHandleTraits {
  using type = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { CloseFunction(h); }
};

namespace unique_any_detail {
inline void CloseHandleValue(HANDLE h) noexcept { ::CloseHandle(h); }
inline void FindCloseValue(HANDLE h) noexcept { ::FindClose(h); }
inline void RegCloseKeyValue(HKEY h) noexcept { ::RegCloseKey(h); }
inline void UnmapViewValue(void* p) noexcept { ::UnmapViewOfFile(p); }
inline void DestroyWindowValue(HWND h) noexcept { ::DestroyWindow(h); }
inline void DeleteObjectValue(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DestroyIconValue(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyMenuValue(HMENU h) noexcept { ::DestroyMenu(h); }
inline void DestroyImageListValue(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
inline void FreeLibraryValue(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void GlobalFreeValue(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void FreeBstrValue(BSTR b) noexcept { ::SysFreeString(b); }
inline void CloseInternetValue(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
inline void ReleaseCryptContextValue(HCRYPTPROV h) noexcept { ::CryptReleaseContext(h, 0); }
inline void DestroyCryptKeyValue(HCRYPTKEY h) noexcept { ::CryptDestroyKey(h); }
inline void DestroyCryptHashValue(HCRYPTHASH h) noexcept { ::CryptDestroyHash(h); }
}  // namespace unique_any_detail

using unique_handle = unique_any<NullInvalidTraits<HANDLE, unique_any_detail::CloseHandleValue>>;
using unique_hfile = unique_any<FileHandleTraits<unique_any_detail::CloseHandleValue>>;
using unique_hfind = unique_any<FileHandleTraits<unique_any_detail::FindCloseValue>>;
using unique_hkey = unique_any<NullInvalidTraits<HKEY, unique_any_detail::RegCloseKeyValue>>;
using unique_mapped_view = unique_any<NullInvalidTraits<void*, unique_any_detail::UnmapViewValue>>;
using unique_hwnd = unique_any<NullInvalidTraits<HWND, unique_any_detail::DestroyWindowValue>>;
using unique_hgdiobj = unique_any<NullInvalidTraits<HGDIOBJ, unique_any_detail::DeleteObjectValue>>;
using unique_hicon = unique_any<NullInvalidTraits<HICON, unique_any_detail::DestroyIconValue>>;
using unique_hmenu = unique_any<NullInvalidTraits<HMENU, unique_any_detail::DestroyMenuValue>>;
using unique_himagelist = unique_any<NullInvalidTraits<HIMAGELIST, unique_any_detail::DestroyImageListValue>>;
using unique_hmodule = unique_any<NullInvalidTraits<HMODULE, unique_any_detail::FreeLibraryValue>>;
using unique_hglobal = unique_any<NullInvalidTraits<HGLOBAL, unique_any_detail::GlobalFreeValue>>;
using unique_bstr = unique_any<NullInvalidTraits<BSTR, unique_any_detail::FreeBstrValue>>;
using unique_hinternet = unique_any<NullInvalidTraits<HINTERNET, unique_any_detail::CloseInternetValue>>;
// A key or hash must go before the context it was made in: declare the context first.
using unique_hcryptprov =
    unique_any<ZeroInvalidTraits<HCRYPTPROV, unique_any_detail::ReleaseCryptContextValue>>;
using unique_hcryptkey = unique_any<ZeroInvalidTraits<HCRYPTKEY, unique_any_detail::DestroyCryptKeyValue>>;
using unique_hcrypthash =
    unique_any<ZeroInvalidTraits<HCRYPTHASH, unique_any_detail::DestroyCryptHashValue>>;

// COM interface pointer owner: Release on destruction, AddRef only when asked to copy.
template <typename T>
class com_ptr {
 public:
  com_ptr() noexcept = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.ptr_, nullptr));
    return *this;
  }
  ~com_ptr() { reset(); }

  static com_ptr Attach(T* raw) noexcept {
    com_ptr result;
    result.ptr_ = raw;
    return result;
  }
  com_ptr Copy() const noexcept {
    if (ptr_) ptr_->AddRef();
    return Attach(ptr_);
  }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  T** put() noexcept {
    reset();
    return &ptr_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
  void reset(T* raw = nullptr) noexcept {
    T* old = std::exchange(ptr_, raw);
    if (old) old->Release();
  }
  T* detach() noexcept { return std::exchange(ptr_, nullptr); }

 private:
  T* ptr_ = nullptr;
};

