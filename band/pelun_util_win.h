// The scriptable helper of the two context-menu pages: hands the feed of a page to the main
// program.
#pragma once

#include "band/com_object_win.h"
#include "pelunband_h.h"

class CPelunUtil final : public IPelunUtil {
 public:
  CPelunUtil() noexcept : dispatch_(IID_IPelunUtil) {}

  PELUN_COM_UNKNOWN()
  PELUN_COM_DISPATCH(IPelunUtil)
  STDMETHODIMP AddRSS(BSTR location, BSTR href) noexcept override;

  static const QiEntry kInterfaces[2];

 private:
  ~CPelunUtil() = default;
  CObjectRefs refs_;
  CTypeInfoDispatch dispatch_;
};
