// The equality keys of the locale comparison against the comparison itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

class CleLocaleTest : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { FixeLocale(GetParam()); }
  void TearDown() override { FixeLocale(""); }
};

bool Egaux(const std::string& a, const std::string& b, bool ignoreCasse) {
  return CompareStringA(a, b, ignoreCasse) == CSTR_EQUAL;
}

TEST_P(CleLocaleTest, EveryPairOfCharacters) {
  for (bool ignoreCasse : {false, true}) {
    std::vector<std::string> cles;
    for (int c = 0; c < 256; ++c) cles.push_back(CleLocale(std::string(1, static_cast<char>(c)), ignoreCasse));
    int fautes = 0;
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        const bool egaux = Egaux(std::string(1, static_cast<char>(a)), std::string(1, static_cast<char>(b)), ignoreCasse);
        if (egaux != (cles[static_cast<std::size_t>(a)] == cles[static_cast<std::size_t>(b)])) ++fautes;
      }
    EXPECT_EQ(fautes, 0) << ignoreCasse;
  }
}

TEST_P(CleLocaleTest, TextsTheComparisonFindsEqualOrNot) {
  struct Cas {
    std::string a, b;
  };
  const Cas cas[] = {
      {"ab", "a\xAD" "b"},       // an ignorable soft hyphen
      {"le", "l\x01" "e"},       // and a control character
      {"", "\xAD"},              // but an empty text is smaller than any other
      {"", ""},
      {"Côte"_a, "côte"_a},
      {"cote", "côte"_a},
      {"...", "\x85"},           // the ellipsis and three points differ by case only
      {"2", "\xB2"},
      {"strasse", "straße"_a},
      {"oeuf", "œuf"_a},
      {"ae", "æ"_a},
  };
  for (const Cas& c : cas)
    for (bool ignoreCasse : {false, true})
      EXPECT_EQ(CleLocale(c.a, ignoreCasse) == CleLocale(c.b, ignoreCasse), Egaux(c.a, c.b, ignoreCasse))
          << ansi::AnsiVersUtf8(c.a) << " / " << ansi::AnsiVersUtf8(c.b) << " " << ignoreCasse;
}

// Many short texts in the order of their keys: two neighbours have the same key exactly when
// the comparison finds them equal (keys that sort like the texts make equal texts neighbours).
TEST_P(CleLocaleTest, NeighboursInTheOrderOfTheKeys) {
  const std::string alphabet = std::string("aAbBeEsS09 -'.\x01\xAD\x85\xB2") + "éÉèàçÇœŒßæÆ"_a;
  std::mt19937 tirage(17);
  for (bool ignoreCasse : {false, true}) {
    std::vector<std::pair<std::string, std::string>> textes(5000);
    for (auto& [cle, t] : textes) {
      for (std::size_t n = 1 + tirage() % 4; n > 0; --n) t += alphabet[tirage() % alphabet.size()];
      cle = CleLocale(t, ignoreCasse);
    }
    std::sort(textes.begin(), textes.end());
    int fautes = 0;
    for (std::size_t i = 1; i < textes.size(); ++i) {
      const bool egaux = Egaux(textes[i - 1].second, textes[i].second, ignoreCasse);
      if (egaux != (textes[i - 1].first == textes[i].first)) ++fautes;
    }
    EXPECT_EQ(fautes, 0) << ignoreCasse;
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, CleLocaleTest, testing::Values("fr_FR", "de_DE", "C"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
