// Properties and methods of the browser's objects, reached by name through their dispatch
// interfaces, as a script reaches them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <optional>

#include "util/text.h"
#include "util/unique_handle_win.h"
#include "util/variant_win.h"

// A VARIANT that is cleared when it goes.
class unique_variant {
 public:
  unique_variant() noexcept { ::VariantInit(&value_); }
  ~unique_variant() { ::VariantClear(&value_); }
  unique_variant(const unique_variant&) = delete;
  unique_variant& operator=(const unique_variant&) = delete;
  VARIANT* put() noexcept {
    ::VariantClear(&value_);
    return &value_;
  }
  const VARIANT& get() const noexcept { return value_; }
  // For the platform's functions that read a variant through a non-const pointer.
  VARIANT* in() noexcept { return &value_; }

 private:
  VARIANT value_;
};

// Arguments in the order a script writes them.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD kind, std::initializer_list<VARIANT> arguments,
                   unique_variant& result);

std::optional<Text> TextProperty(IDispatch* object, const wchar_t* name);
com_ptr<IDispatch> ObjectProperty(IDispatch* object, const wchar_t* name);
// The object the interface `iid` answers, held through its dispatch part.
com_ptr<IDispatch> QueryDispatch(IUnknown* object, REFIID iid);

