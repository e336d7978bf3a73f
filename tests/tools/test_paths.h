// Temporary paths for the tools tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

/// A temporary path of this test's own, so tests running side by side never share a file.
inline std::string testTemp(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string test = info ? std::string(info->test_suite_name()) + "." + info->name() : "any";
  for (char& c : test)
    if (c == '/') c = '_';
  return ::testing::TempDir() + test + "_" + name;
}
