#pragma once
// Test helper shared by the asset tests: BYTES written to NAME in the test's temporary folder.

#include <string>
#include <vector>

std::string writeTempFile(const std::vector<unsigned char>& bytes, const char* name);
