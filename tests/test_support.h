// Helpers shared by the tests: a scratch working directory and a clean machine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Runs each test in an empty directory of its own, on a fresh scripted machine with
// the program's state at its start values.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string directory;

private:
    std::string previous_directory;
};

std::vector<uint8_t> read_file_bytes(const std::string& path);
void write_file_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::string& path);
void append_le32(std::vector<uint8_t>& out, int32_t value);
void append_le16(std::vector<uint8_t>& out, uint16_t value);
