// Fuzzes the direct XML reader on prepared bytes: it never fails unsafely, and what it reads has
// named elements and no white-space-only text (which the DOM would have dropped).
#include <string>

#include "tests/fuzz/fuzz_text.h"
#include "util/xml_bytes.h"
#include "util/xml_reader.h"

namespace {

void CheckTree(const XmlElement& element) {
  FuzzCheck(!element.name.empty());
  for (const XmlNode& child : element.children) {
    if (child.element) CheckTree(*child.element);
    else FuzzCheck(child.text.find_first_not_of(u" \t\r\n") != Text::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (const auto raw = ReadPlainXml(bytes, 64)) CheckTree(*raw);
  if (const auto prepared = ReadPlainXml(PrepareXmlForDom(bytes), 64)) CheckTree(*prepared);
  return 0;
}
