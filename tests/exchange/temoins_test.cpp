// The Moodle, CSV and text writers give the bytes kept in donnees/ for the card files of
// Temoins.h, and the quizzes among them are well-formed.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <fstream>
#include <sstream>

#include "Outils.h"
#include "Temoins.h"
#include "exchange/KorCsv.h"
#include "exchange/KorMoodle.h"

namespace {

std::string Fixture(const std::string& nom) {
  std::ifstream f(std::string(ORVALINE_SOURCE_DIR) + "/tests/exchange/donnees/" + nom, std::ios::binary);
  EXPECT_TRUE(f) << nom;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The first byte where two outputs part, for the failure message.
std::string Ecart(const std::string& attendu, const std::string& ecrit) {
  std::size_t i = 0;
  while (i < attendu.size() && i < ecrit.size() && attendu[i] == ecrit[i]) ++i;
  const auto autour = [i](const std::string& s) { return Visible(s.substr(i < 40 ? 0 : i - 40, 80)); };
  return "at byte " + std::to_string(i) + "\n expected ..." + autour(attendu) + "\n written  ..." + autour(ecrit);
}

TEST(Temoins, LesEcrivainsDonnentLesOctetsGardes) {
  for (auto& t : Temoins()) {
    if (t.Fichier->FType == 'M' || t.Fichier->FType == 'Q') {
      const std::string attendu = Fixture(t.Nom + ".xml"), ecrit = OctetsFichierMoodle(*t.Fichier, t.Reglages);
      EXPECT_EQ(attendu, ecrit) << t.Nom << ".xml " << Ecart(attendu, ecrit);
      xmlDoc* d = xmlReadMemory(ecrit.data(), static_cast<int>(ecrit.size()), nullptr, nullptr, XML_PARSE_NONET);
      EXPECT_NE(d, nullptr) << t.Nom;
      xmlFreeDoc(d);
    }
    for (const char format : {'s', 't'}) {
      const std::string nom = t.Nom + (format == 's' ? ".csv" : ".txt");
      const std::string attendu = Fixture(nom), ecrit = OctetsFichierCSV(*t.Fichier, format, t.Reglages);
      EXPECT_EQ(attendu, ecrit) << nom << " " << Ecart(attendu, ecrit);
    }
  }
}

}  // namespace
