// Helpers shared by the test suites of both targets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The bytes of tests/fixtures/<name>; fails the test when it cannot be read.
std::vector<uint8_t> ReadFixture(const std::string& name);
// A path to a fixture as the program under test sees it (a Windows path under Wine).
std::u16string FixturePath(const std::string& name);
// Writes bytes to a file below the build tree's test output folder and
// returns its path as the program sees it.
std::u16string WriteOutput(const std::string& name, const std::vector<uint8_t>& bytes);

// Parses "FF FE 0A ..." (spaces and line breaks ignored) into bytes.
std::vector<uint8_t> Hex(const std::string& text);
// The bytes of a string as the archive stores it, for building expectations.
std::string ToHex(const std::vector<uint8_t>& bytes);

}  // namespace testing_support
