#include "util/memory_stream_win.h"

#include <new>

CMemoryWriteStream* CMemoryWriteStream::Create() { return new (std::nothrow) CMemoryWriteStream(); }

HRESULT CMemoryWriteStream::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CMemoryWriteStream::AddRef() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG CMemoryWriteStream::Release() noexcept {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CMemoryWriteStream::Write(const void* data, ULONG size, ULONG* written) noexcept {
  if (written) *written = 0;
  if (size && !data) return STG_E_INVALIDPOINTER;
  try {
    bytes_.append(static_cast<const char*>(data), size);
  } catch (...) {
    return STG_E_MEDIUMFULL;
  }
  if (written) *written = size;
  return S_OK;
}

// Only the end can be asked for: the stream is appended to and never rewound.
HRESULT CMemoryWriteStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) noexcept {
  const bool staysAtEnd = move.QuadPart == 0 && (origin == STREAM_SEEK_CUR || origin == STREAM_SEEK_END);
  if (!staysAtEnd && !(origin == STREAM_SEEK_SET && move.QuadPart == LONGLONG(bytes_.size())))
    return STG_E_INVALIDFUNCTION;
  if (position) position->QuadPart = bytes_.size();
  return S_OK;
}

HRESULT CMemoryWriteStream::Stat(STATSTG* status, DWORD) noexcept {
  if (!status) return STG_E_INVALIDPOINTER;
  *status = STATSTG{};
  status->type = STGTY_STREAM;
  status->cbSize.QuadPart = bytes_.size();
  return S_OK;
}
