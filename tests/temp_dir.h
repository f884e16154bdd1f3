// A fixture that runs each test in a fresh empty current directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() /
           ("demostamp-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directory(dir_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }

  static std::string Read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Put(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};
