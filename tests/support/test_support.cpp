#include "support/test_support.hpp"

#include <atomic>
#include <random>
#include <unistd.h>

namespace mvtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (char& c : name)
    if (c == '/') c = '_';
  path_ = std::filesystem::temp_directory_path() /
          ("mvtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + name);
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  const std::string text = readFile(path);
  std::vector<std::string> out;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t q = text.find("\r\n", p);
    if (q == std::string::npos) {
      out.push_back(text.substr(p));
      break;
    }
    out.push_back(text.substr(p, q - p));
    p = q + 2;
  }
  return out;
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\r\n";
    else
      out.push_back(c);
  }
  return out;
}

}  // namespace mvtest
