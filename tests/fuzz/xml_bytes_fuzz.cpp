// Fuzzes PrepareXmlForDom and BlankDoctypes on raw bytes: whatever comes in, the DOM gets
// well-formed UTF-8 with no DOCTYPE left, and blanking moves no line.
#include <string>

#include "tests/fuzz/fuzz_text.h"
#include "util/code_page.h"
#include "util/xml_bytes.h"
#include "util/xml_encoding.h"
#include "util/xml_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string prepared = PrepareXmlForDom(bytes);
  FuzzCheck(ClassifyUtf8(prepared) != Utf8Form::kIllFormed);
  const MarkupScan scan = ScanMarkup(prepared, false);
  FuzzCheck(scan.doctypes.empty());
  // Once prepared stays prepared, unless a prefix is still out of scope or the document starts
  // with what reads differently the second time: a byte-order mark, UTF-16, or white
  // space (a blanked DOCTYPE) before an XML declaration.
  const bool rereadsDifferently = prepared.starts_with("\xEF\xBB\xBF") || Utf16DocumentToUtf8(prepared) ||
                                  prepared.find_first_not_of(" \t\r\n") != 0;
  if (scan.missingDeclarations.empty() && !rereadsDifferently) FuzzCheck(PrepareXmlForDom(prepared) == prepared);

  std::string blanked = bytes;
  const bool found = BlankDoctypes(blanked);
  FuzzCheck(blanked.size() == bytes.size());
  if (!found) FuzzCheck(blanked == bytes);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool lineBreak = bytes[i] == '\n' || bytes[i] == '\r';
    FuzzCheck(lineBreak ? blanked[i] == bytes[i] : (blanked[i] == bytes[i] || blanked[i] == ' '));
  }
  FuzzCheck(!BlankDoctypes(blanked));
  return 0;
}
