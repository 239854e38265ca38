// Replays a fuzz target over its seed corpus, then over seeded random mutations of the seeds,
// so that the normal build and ctest exercise every reader the fuzzers cover.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> graines;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    std::vector<std::filesystem::path> fichiers;
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p))
        if (e.is_regular_file()) fichiers.push_back(e.path());
    } else if (std::filesystem::exists(p)) {
      fichiers.push_back(p);
    }
    for (const auto& f : fichiers) {
      std::ifstream in(f, std::ios::binary);
      graines.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  graines.emplace_back();
  for (const auto& g : graines)
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(g.data()), g.size());
  std::mt19937 alea(20261210);
  for (int tour = 0; tour < 2000; ++tour) {
    std::string s = graines[alea() % graines.size()];
    const int n = 1 + static_cast<int>(alea() % 8);
    for (int k = 0; k < n; ++k) {
      switch (alea() % 4) {
        case 0: if (!s.empty()) s[alea() % s.size()] = static_cast<char>(alea()); break;
        case 1: s.insert(s.begin() + (s.empty() ? 0 : alea() % s.size()), static_cast<char>(alea())); break;
        case 2: if (!s.empty()) s.erase(alea() % s.size(), 1 + alea() % 16); break;
        case 3: if (!s.empty()) s.resize(alea() % s.size()); break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  }
  std::printf("%zu graines rejouées, 2000 mutations\n", graines.size() - 1);
  return 0;
}
