// The encoding corpus in tests/data/feeds/encodings (see its README) and what each file must
// read as once prepared for the DOM; shared by the byte-level tests and the DOM tests under Wine.
#pragma once

#include <string_view>
#include <vector>

struct CorpusFile {
  std::string_view name;                // under feeds/encodings/
  std::vector<std::string_view> texts;  // UTF-8 texts the document must hold
  bool loads = true;                    // false: the DOM must refuse it once prepared
};

inline const std::vector<CorpusFile>& EncodingCorpus() {
  static const std::vector<std::string_view> kFull = {"日本語のフィード ①Ⅲ㈱", "ひらがな・カタカナ・漢字の説明",
                                                      "Café über €5 – “quoted”", "English item with é, ü and €."};
  static const std::vector<std::string_view> kJapanese = {"日本語のフィード ①Ⅲ㈱", "ひらがな・カタカナ・漢字の説明",
                                                          "Plain ASCII text."};
  static const std::vector<std::string_view> kJis = {"日本語のフィード", "ひらがな・カタカナ・漢字の説明"};
  static const std::vector<CorpusFile> kCorpus = {
      {"utf-8.xml", kFull},
      {"utf-8-bom.xml", kFull},
      {"utf-16le-bom.xml", kFull},
      {"utf-16be-bom.xml", kFull},
      {"utf-16le-nobom.xml", kFull},
      {"shift_jis.xml", kJapanese},
      {"euc-jp.xml", kJis},
      {"iso-8859-1.xml", {"Café über", "Latin text: é, ü, ñ, ß.", "Crème brûlée"}},
      {"windows-1252.xml", {"Café über €5 – “quoted”", "‘Single’ quotes… and Œuvre."}},
      {"mislabelled-latin1-utf8.xml", kFull},
      {"mislabelled-utf8-sjis.xml", kJapanese},
      {"mislabelled-utf8-eucjp.xml", kJis},
      {"doctype-subset.xml", {"DOCTYPE は消える", "Text after the DOCTYPE"}},
      {"unbound-prefix.xml", {"山田太郎", "<p>本文</p>", "extra"}},
      {"billion-laughs.xml", {}, false},
      {"xxe.xml", {}, false},
  };
  return kCorpus;
}
