// Fixture files under tests/data, read the same way natively and under Wine.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

// The whole file as bytes; empty when it cannot be read (the test then fails on its content).
inline std::string ReadTestData(std::string_view relativePath) {
  std::string path = PELUN_TEST_DATA_DIR;
  path += '/';
  path += relativePath;
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
