#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "platform/Ansi.h"

namespace {

class LocaleFr : public testing::Test {
 protected:
  void SetUp() override { FixeLocale("fr_FR"); }
  void TearDown() override { FixeLocale(""); }
};

std::string Signe(int r) { return r == 1 ? "<" : r == 2 ? "=" : r == 3 ? ">" : "echec"; }

TEST_F(LocaleFr, ComparaisonsDeBase) {
  struct Cas {
    std::string a, b;
    int sensible, insensible;  // with case told apart, and with case ignored
  };
  const Cas cas[] = {
      {"a", "a", CSTR_EQUAL, CSTR_EQUAL},
      {"", "", CSTR_EQUAL, CSTR_EQUAL},
      {"", "a", CSTR_LESS_THAN, CSTR_LESS_THAN},
      {"a", "A", CSTR_LESS_THAN, CSTR_EQUAL},  // case differs: equal only when ignored
      {"cote", "COTE", CSTR_LESS_THAN, CSTR_EQUAL},
      {"Cote", "cote", CSTR_GREATER_THAN, CSTR_EQUAL},
      {"a", "B", CSTR_LESS_THAN, CSTR_LESS_THAN},  // letters first, not the codes' order
      {"B", "a", CSTR_GREATER_THAN, CSTR_GREATER_THAN},
      {"Zèbre"_a, "abricot", CSTR_GREATER_THAN, CSTR_GREATER_THAN},
      {"éléphant"_a, "fourmi", CSTR_LESS_THAN, CSTR_LESS_THAN},  // é sorts with e, not after z
      {"cote", "côte"_a, CSTR_LESS_THAN, CSTR_LESS_THAN},  // accents always told apart
      {"côte"_a, "Côte"_a, CSTR_LESS_THAN, CSTR_EQUAL},
      {"cote", "Côte"_a, CSTR_LESS_THAN, CSTR_LESS_THAN},
      {"e", "é"_a, CSTR_LESS_THAN, CSTR_LESS_THAN},
      {"E", "é"_a, CSTR_LESS_THAN, CSTR_LESS_THAN},
      {"É"_a, "e", CSTR_GREATER_THAN, CSTR_GREATER_THAN},
      {"ça"_a, "ca", CSTR_GREATER_THAN, CSTR_GREATER_THAN},
      {"abc", "abcd", CSTR_LESS_THAN, CSTR_LESS_THAN},
      {"\xFF", "y", CSTR_GREATER_THAN, CSTR_GREATER_THAN},  // ÿ after y
  };
  for (const auto& c : cas) {
    const std::string quoi = ansi::AnsiVersUtf8(c.a) + " / " + ansi::AnsiVersUtf8(c.b);
    EXPECT_EQ(Signe(CompareStringA(c.a, c.b, false)), Signe(c.sensible)) << quoi;
    EXPECT_EQ(Signe(CompareStringA(c.a, c.b, true)), Signe(c.insensible)) << quoi << " (casse ignoree)";
    // Swapping the texts swaps the result.
    EXPECT_EQ(CompareStringA(c.b, c.a, false), 4 - c.sensible) << quoi;
    EXPECT_EQ(CompareStringA(c.b, c.a, true), 4 - c.insensible) << quoi;
  }
}

TEST_F(LocaleFr, OrdreFrancaisDesMotsAccentues) {
  // Base letters first, then accents, then case; ICU's French (France) collation reads accents
  // from the left, so "coté" comes before "côte".
  const std::vector<std::string> attendu = {"cote",   "Cote",   "COTE",  "coté"_a, "côte"_a,
                                            "Côte"_a, "côté"_a, "coter", "cotes"};
  std::vector<std::string> melange = attendu;
  std::mt19937 alea(42);
  for (int tour = 0; tour < 5; ++tour) {
    std::shuffle(melange.begin(), melange.end(), alea);
    std::sort(melange.begin(), melange.end(),
              [](const std::string& x, const std::string& y) { return CompareStringA(x, y) == CSTR_LESS_THAN; });
    EXPECT_EQ(melange, attendu);
  }
}

TEST_F(LocaleFr, OrdreTotalSurTousLesCaracteres) {
  // Every pair of one-character texts: the comparison is antisymmetric, and two different
  // characters are equal only when the collation ignores both (control characters, soft
  // hyphen), or, with case ignored, when they are one letter in two cases.
  // (Compared with another ignored character: the empty text sorts before every other.)
  auto ignore = [](int c) { return CompareStringA(std::string(1, char(c)), "\x01") == CSTR_EQUAL; };
  for (int i = 1; i < 256; ++i) {
    for (int j = 1; j < 256; ++j) {
      const std::string a(1, char(i)), b(1, char(j));
      const int r = CompareStringA(a, b);
      ASSERT_NE(r, 0);
      ASSERT_EQ(r, 4 - CompareStringA(b, a)) << i << " " << j;
      ASSERT_EQ(CompareStringA(a, b, true), 4 - CompareStringA(b, a, true)) << i << " " << j;
      if (i == j) {
        ASSERT_EQ(r, CSTR_EQUAL);
      } else if (r == CSTR_EQUAL) {
        ASSERT_TRUE(ignore(i) && ignore(j)) << i << " " << j;
      }
    }
  }
  for (int c : {int('a'), int('Z'), int('0'), int(' '), int('-'), int('\t'), int('\r'), 0xE9, 0x80, 0x9C, 0xFF})
    EXPECT_FALSE(ignore(c)) << c;
  EXPECT_EQ(CompareStringA("", "\x01"), CSTR_LESS_THAN);
  EXPECT_NE(CompareStringA("e", "é"_a, true), CSTR_EQUAL);
  EXPECT_NE(CompareStringA("a", "à"_a, true), CSTR_EQUAL);
  EXPECT_NE(CompareStringA("A", "À"_a, true), CSTR_EQUAL);
  EXPECT_NE(CompareStringA("oe", "œ"_a, true), CSTR_EQUAL);
  EXPECT_EQ(CompareStringA("À"_a, "à"_a, true), CSTR_EQUAL);
  EXPECT_EQ(CompareStringA("Œ"_a, "œ"_a, true), CSTR_EQUAL);
}

TEST_F(LocaleFr, LeTriDonneUnOrdreCoherent) {
  std::vector<std::string> mots;
  std::mt19937 alea(7);
  const std::string lettres = "aAeEéÉèçÇoôbBcC -'"_a;
  for (int i = 0; i < 2000; ++i) {
    std::string m;
    for (int k = 0, n = 1 + int(alea() % 6); k < n; ++k) m += lettres[alea() % lettres.size()];
    mots.push_back(m);
  }
  for (bool casse : {false, true}) {
    auto tri = mots;
    std::sort(tri.begin(), tri.end(),
              [&](const std::string& x, const std::string& y) { return CompareStringA(x, y, casse) == CSTR_LESS_THAN; });
    for (std::size_t i = 1; i < tri.size(); ++i)
      ASSERT_NE(CompareStringA(tri[i - 1], tri[i], casse), CSTR_GREATER_THAN);
  }
}

TEST(Locale, SeparateurDeListe) {
  struct Cas {
    const char* locale;
    const char* separateur;
  };
  const Cas cas[] = {{"fr_FR", ";"}, {"de_DE", ";"}, {"en_US", ","}, {"en_GB", ","}, {"C", ","}};
  for (const auto& c : cas) {
    FixeLocale(c.locale);
    EXPECT_EQ(SeparateurListeLocale(), c.separateur) << c.locale;
  }
  FixeLocale("");
}

TEST(Locale, ChangerDeLocaleChangeLeTri) {
  // Swedish puts ö after z; French keeps it with o.
  FixeLocale("sv_SE");
  EXPECT_EQ(CompareStringA("\xF6", "z"), CSTR_GREATER_THAN);
  FixeLocale("fr_FR");
  EXPECT_EQ(CompareStringA("\xF6", "z"), CSTR_LESS_THAN);
  FixeLocale("");
}

TEST(Locale, LocaleDuSystemeSansLangueTrieQuandMemeLesLettres) {
  // Under "C" the plain code order would put "B" before "a" and "é" after "z".
  FixeLocale("C");
  EXPECT_EQ(CompareStringA("B", "a"), CSTR_GREATER_THAN);
  EXPECT_EQ(CompareStringA("é"_a, "z"), CSTR_LESS_THAN);
  EXPECT_NE(CompareStringA("e", "é"_a, true), CSTR_EQUAL);
  FixeLocale("");
}

TEST(Locale, ChaqueFilEnAppelleSansSeGener) {
  FixeLocale("fr_FR");
  std::vector<std::thread> fils;
  std::vector<int> fautes(4, 0);
  for (int f = 0; f < 4; ++f)
    fils.emplace_back([&, f] {
      for (int i = 0; i < 2000; ++i)
        if (CompareStringA("cote", "côte"_a, f % 2 == 0) != CSTR_LESS_THAN ||
            CompareStringA("a", "A", true) != CSTR_EQUAL)
          ++fautes[f];
    });
  for (auto& f : fils) f.join();
  EXPECT_EQ(fautes, std::vector<int>(4, 0));
  FixeLocale("");
}

TEST(Locale, OrdreParClesCommeLaComparaison) {
  for (const char* locale : {"fr_FR", "C", "de_DE"}) {
    FixeLocale(locale);
    const std::vector<std::string> mots = {"b",       "B",      "a",  "côte"_a, "cote", "Côte"_a, "",
                                           "\t tab", "zèbre"_a, "Z",  "b",       "œuf"_a, "oeuf", "10", "9",
                                           "\x81",   "a-b",    "ab", "a b"};
    std::vector<std::string_view> vues(mots.begin(), mots.end());
    const std::vector<std::size_t> ordre = OrdreLocale(vues);
    ASSERT_EQ(ordre.size(), mots.size());
    for (std::size_t i = 1; i < ordre.size(); ++i) {
      const int r = CompareStringA(mots[ordre[i - 1]], mots[ordre[i]]);
      EXPECT_NE(r, CSTR_GREATER_THAN) << locale << ": " << mots[ordre[i - 1]] << " / " << mots[ordre[i]];
      // Equal texts keep their order.
      if (r == CSTR_EQUAL) {
        EXPECT_LT(ordre[i - 1], ordre[i]);
      }
    }
  }
  EXPECT_TRUE(OrdreLocale({}).empty());
  // Many texts of letters, accents, digits, spaces and punctuation: every neighbour in order.
  FixeLocale("fr_FR");
  const std::string alphabet = "aAbBeEzZ09 -'.,"_a + "éÉèàçÇœŒß"_a;
  std::mt19937 tirage(42);
  std::vector<std::string> textes(3000);
  for (std::string& t : textes)
    for (std::size_t n = tirage() % 8; n > 0; --n) t += alphabet[tirage() % alphabet.size()];
  std::vector<std::string_view> vues(textes.begin(), textes.end());
  const std::vector<std::size_t> ordre = OrdreLocale(vues);
  int desordres = 0;
  for (std::size_t i = 1; i < ordre.size(); ++i)
    if (CompareStringA(textes[ordre[i - 1]], textes[ordre[i]]) == CSTR_GREATER_THAN) ++desordres;
  EXPECT_EQ(desordres, 0);
  FixeLocale("");
}

}  // namespace
