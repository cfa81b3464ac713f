// Stand-in for the libFuzzer runtime when the compiler has none: runs every
// file of a seed folder, then mutations of them for a given number of seconds.
// Usage: script_fuzz CORPUS_DIR [SECONDS]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Feed(const std::string& s) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

const char* const kPieces[] = {"begin", "end", ";", ".", "(", ")", "[", "]", ":=", "'", "{", "(*",
                               "if", "then", "else", "case", "of", "for", "to", "do", "try",
                               "except", "finally", "var", "procedure", "function", "<", ">",
                               "..", ",", "uses", "#language", "$", "1e", "@", "\r\n", "\0"};

std::string Mutate(std::string s, std::mt19937& rng, const std::vector<std::string>& seeds) {
  const int steps = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < steps; ++k) {
    const size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
    switch (rng() % 6) {
      case 0:
        if (!s.empty() && at < s.size()) s[at] = static_cast<char>(rng());
        break;
      case 1:
        if (!s.empty() && at < s.size()) s.erase(at, 1 + rng() % 8);
        break;
      case 2: s.insert(at, kPieces[rng() % (sizeof kPieces / sizeof *kPieces)]); break;
      case 3: {
        const std::string& other = seeds[rng() % seeds.size()];
        if (!other.empty()) {
          size_t from = rng() % other.size();
          s.insert(at, other.substr(from, 1 + rng() % 40));
        }
        break;
      }
      case 4: s.insert(at, std::string(1 + rng() % 3000, "([("[rng() % 3])); break;
      default:
        if (at < s.size()) s.resize(at);
        break;
    }
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR [SECONDS]\n", argv[0]);
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
  std::vector<std::string> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    seeds.push_back(ss.str());
  }
  if (seeds.empty()) seeds.emplace_back("begin end.");
  for (const std::string& s : seeds) Feed(s);
  std::mt19937 rng(12345);
  const auto stop = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long runs = 0;
  while (std::chrono::steady_clock::now() < stop) {
    Feed(Mutate(seeds[rng() % seeds.size()], rng, seeds));
    ++runs;
  }
  std::printf("%ld inputs compiled\n", runs);
  return 0;
}
