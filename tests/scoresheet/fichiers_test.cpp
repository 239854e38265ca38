// The score sheet's files: CSV and spreadsheet bytes, the spreadsheet read back by an
// independent reader (python3-xlrd), and the saved flag while results keep arriving.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "scoresheet/KorFichiersResultats.h"
#include "scoresheet/KorTableResultats.h"
#include "tests/Outils.h"

namespace {

namespace fs = std::filesystem;

std::string Hex(const std::string& octets) {
  static const char* chiffres = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : octets) {
    if (!h.empty()) h += ' ';
    h += chiffres[c >> 4];
    h += chiffres[c & 15];
  }
  return h;
}

std::string Octets(std::initializer_list<int> liste) {
  std::string s;
  for (int b : liste) s.push_back(static_cast<char>(b));
  return s;
}

class FichiersResultatsSurDisque : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    Dossier = DossierTemporaire::Dossier;
  }
  // The same folder, as a path: these tests build their file names with '/'.
  fs::path Dossier;
};

TGrilleResultats TableVide() { return {TitresResultats(), TLigneResultat{}}; }

const std::string Bof = Octets({0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00});
const std::string Eof = Octets({0x0A, 0x00, 0x00, 0x00});

std::string Label(int ligne, int colonne, const std::string& texte) {
  const int n = static_cast<int>(texte.size());
  return Octets({0x04, 0x02, (n + 8) & 0xFF, (n + 8) >> 8, ligne & 0xFF, ligne >> 8, colonne, 0, 0, 0,
                 n & 0xFF, n >> 8}) +
         texte;
}

std::string Rk(int ligne, int colonne, std::uint32_t valeur) {
  return Octets({0x7E, 0x02, 0x0A, 0x00, ligne & 0xFF, ligne >> 8, colonne, 0, 0, 0, int(valeur & 0xFF),
                 int((valeur >> 8) & 0xFF), int((valeur >> 16) & 0xFF), int(valeur >> 24)});
}

std::string TitresXls() {
  std::string s;
  for (int c = 0; c < 5; ++c) s += Label(0, c, TitresResultats()[c]);
  return s;
}

TEST(FichiersResultats, TableSansResultat) {
  EXPECT_EQ(TexteCsv(TableVide()), "Ordinateur;Candidat;Questionnaire;R\xE9sultat;Maximum\r\n;;;;\r\n");
  // "Résultat" is its 8 ANSI bytes; the free row 1 gives three empty LABELs and two RK 0.
  const std::string attendu = Bof + TitresXls() + Label(1, 0, "") + Label(1, 1, "") + Label(1, 2, "") +
                              Rk(1, 3, 2) + Rk(1, 4, 2) + Eof;
  EXPECT_EQ(Hex(OctetsXls(TableVide())), Hex(attendu));
  EXPECT_EQ(Label(0, 3, "Résultat"_a).size(), 12u + 8u);
}

TEST(FichiersResultats, LignesDeResultats) {
  const TGrilleResultats table = {TitresResultats(),
                                  {"PC1", "Zoé"_a, "quiz;1.xkqq", "70", "100"},
                                  {"PC2", "Bob", "q.kqq", "-5", "abc"}};
  // A ";" inside a cell is written as it is.
  EXPECT_EQ(TexteCsv(table), "Ordinateur;Candidat;Questionnaire;R\xE9sultat;Maximum\r\n"
                             "PC1;Zo\xE9;quiz;1.xkqq;70;100\r\n"
                             "PC2;Bob;q.kqq;-5;abc\r\n");
  const std::string attendu = Bof + TitresXls() + Label(1, 0, "PC1") + Label(1, 1, "Zoé"_a) +
                              Label(1, 2, "quiz;1.xkqq") + Rk(1, 3, 282) + Rk(1, 4, 402) + Label(2, 0, "PC2") +
                              Label(2, 1, "Bob") + Label(2, 2, "q.kqq") + Rk(2, 3, 0xFFFFFFEE) + Rk(2, 4, 2) +
                              Eof;
  EXPECT_EQ(Hex(OctetsXls(table)), Hex(attendu));
}

TEST(FichiersResultats, EntierDeCellule) {
  const std::vector<std::pair<std::string, std::int64_t>> cas = {
      {"70", 70}, {"-5", -5}, {"+3", 3}, {"007", 7}, {"", 0}, {"abc", 0}, {"1 2", 0}, {"-", 0},
      {"7.5", 0}, {"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"-99999999999999999999", std::numeric_limits<std::int64_t>::min()}};
  for (const auto& [texte, valeur] : cas) EXPECT_EQ(EntierDeCellule(texte), valeur) << texte;
}

// Numbers an RK value cannot hold become NUMBER records; a text too long for a LABEL is cut
// where its length still fits, never wrapped.
TEST(FichiersResultats, ValeursHorsDesLimitesDesEnregistrements) {
  std::string flux;
  EcritCelluleEntier(flux, 3, 1, 536870911);
  EXPECT_EQ(Hex(flux), Hex(Rk(1, 3, 0x7FFFFFFE)));
  flux.clear();
  EcritCelluleEntier(flux, 3, 1, -536870912);
  EXPECT_EQ(Hex(flux), Hex(Rk(1, 3, 0x80000002)));
  for (std::int64_t v : {std::int64_t{536870912}, std::int64_t{-536870913}, std::int64_t{3000000000},
                         std::numeric_limits<std::int64_t>::min()}) {
    flux.clear();
    EcritCelluleEntier(flux, 4, 2, v);
    ASSERT_EQ(flux.size(), 18u);
    EXPECT_EQ(Hex(flux.substr(0, 10)), Hex(Octets({0x03, 0x02, 0x0E, 0x00, 2, 0, 4, 0, 0, 0})));
    double d;
    std::memcpy(&d, flux.data() + 10, 8);
    EXPECT_EQ(d, static_cast<double>(v));
  }
  flux.clear();
  EcritCelluleTexte(flux, 1, 1, std::string(70000, 'x'));
  ASSERT_EQ(flux.size(), 12u + 65527u);
  EXPECT_EQ(Hex(flux.substr(0, 12)), Hex(Octets({0x04, 0x02, 0xFF, 0xFF, 1, 0, 1, 0, 0, 0, 0xF7, 0xFF})));
  flux.clear();
  EcritCelluleTexte(flux, 1, 1, std::string(65527, 'x'));
  EXPECT_EQ(flux.size(), 12u + 65527u);
}

TEST(FichiersResultats, PlusDeLignesQueLesEnregistrementsNePeuventNumeroter) {
  TGrilleResultats table(65536);
  EXPECT_NO_THROW(OctetsXls(table));
  table.emplace_back();
  EXPECT_THROW(OctetsXls(table), EWriteError);
}

TEST(FichiersResultats, FormatSelonLExtension) {
  for (const std::string nom : {"Notes.Csv", "notes.CSV", "/a.b/n.csv"}) EXPECT_TRUE(EstNomCsv(nom)) << nom;
  for (const std::string nom : {"notes.txt", "notes", "/x.csv/notes", "notes.csv.xls", "csv"})
    EXPECT_FALSE(EstNomCsv(nom)) << nom;
}

TEST_F(FichiersResultatsSurDisque, EnregistreSelonLeNomChoisi) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  EXPECT_FALSE(table.ResultatsEnregistres());
  EnregistreResultats(table, (Dossier / "Notes.Csv").string());
  EXPECT_TRUE(table.ResultatsEnregistres());
  EXPECT_EQ(LitOctets(Dossier / "Notes.Csv"), TexteCsv(table.Instantane().Lignes));
  // Any other extension, or none, gives a spreadsheet under that very name.
  for (const char* nom : {"notes.txt", "notes"}) {
    EnregistreResultats(table, (Dossier / nom).string());
    EXPECT_EQ(LitOctets(Dossier / nom), OctetsXls(table.Instantane().Lignes)) << nom;
  }
  // Replacing a file.
  EnregistreResultats(table, (Dossier / "notes").string());
  EXPECT_EQ(LitOctets(Dossier / "notes"), OctetsXls(table.Instantane().Lignes));
}

TEST_F(FichiersResultatsSurDisque, EchecDEnregistrementLaisseLeDrapeau) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  const std::string nom = (Dossier / "absent" / "notes.csv").string();
  try {
    EnregistreResultats(table, nom);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Impossible de créer le fichier \""_a + nom + "\". ", 0), 0u) << e.Message();
  }
  EXPECT_FALSE(table.ResultatsEnregistres());
}

// A row that arrives once the rows were read for the file is not in it, and must still be asked
// about at closing.
TEST(TableResultats, LigneArriveePendantLEnregistrement) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  const TInstantane copie = table.Instantane();
  table.TCPServerCommandSendDataCommand({"PC2", "Eve", "q.kqq", "8", "10"});
  table.MarqueEnregistre(copie.Generation);
  EXPECT_FALSE(table.ResultatsEnregistres());
  table.MarqueEnregistre(table.Instantane().Generation);
  EXPECT_TRUE(table.ResultatsEnregistres());
}

TEST(TableResultats, AjouteResultat) {
  TTableResultats table;
  EXPECT_EQ(table.NbLignes(), 2);
  // Fewer than five: nothing, the flag unchanged.
  table.TCPServerCommandSendDataCommand({"PC", "Bob", "q", "7"});
  EXPECT_EQ(table.NbLignes(), 2);
  EXPECT_TRUE(table.ResultatsEnregistres());
  // An empty questionnaire fills row 1 and leaves it free.
  table.TCPServerCommandSendDataCommand({"PC0", "Vide", "", "1", "2"});
  EXPECT_EQ(table.NbLignes(), 2);
  EXPECT_FALSE(table.ResultatsEnregistres());
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10", "en trop"});
  EXPECT_EQ(table.NbLignes(), 2);
  table.TCPServerCommandSendDataCommand({"PC2", "Eve", "r.kqq", "8", "10"});
  const TInstantane t = table.Instantane();
  ASSERT_EQ(t.Lignes.size(), 3u);
  EXPECT_EQ(t.Lignes[0], TitresResultats());
  EXPECT_EQ(t.Lignes[1], (TLigneResultat{"PC1", "Bob", "q.kqq", "7", "10"}));
  EXPECT_EQ(t.Lignes[2], (TLigneResultat{"PC2", "Eve", "r.kqq", "8", "10"}));
}

// The spreadsheet as an independent reader sees it: Debian's python3-xlrd reads BIFF streams.
TEST_F(FichiersResultatsSurDisque, LuParUnTableurIndependant) {
  const char* python = "/usr/bin/python3";
  if (::access(python, X_OK) != 0 || std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-xlrd absent (./setup installs it)";
  const TGrilleResultats table = {TitresResultats(),
                                  {"PC1", "Zoé €"_a, "Géo;graphie.xkqq"_a, "70", "100"},
                                  {"PC2", "Bob", "q.kqq", "-5", "abc"},
                                  {"PC3", "", "grand.kqq", "536870912", "-536870912"}};
  const fs::path xls = Dossier / "notes.xls";
  EnregistreXls(xls.string(), table);
  const fs::path script = Dossier / "lit.py";
  std::ofstream(script) << "import sys, xlrd\n"
                           "b = xlrd.open_workbook(sys.argv[1], encoding_override='cp1252')\n"
                           "s = b.sheet_by_index(0)\n"
                           "for r in range(s.nrows):\n"
                           "  cells = []\n"
                           "  for c in range(s.ncols):\n"
                           "    x = s.cell(r, c)\n"
                           "    cells.append('%d' % x.value if x.ctype == xlrd.XL_CELL_NUMBER else x.value)\n"
                           "  sys.stdout.buffer.write(('|'.join(cells) + '\\n').encode('utf-8'))\n";
  const fs::path sortie = Dossier / "sortie.txt";
  const std::string commande =
      std::string(python) + " " + script.string() + " " + xls.string() + " > " + sortie.string() + " 2>&1";
  ASSERT_EQ(std::system(commande.c_str()), 0) << LitOctets(sortie);
  std::string attendu;
  for (std::size_t r = 0; r < table.size(); ++r) {
    for (int c = 0; c < 5; ++c) {
      if (c > 0) attendu += '|';
      attendu += (r > 0 && c >= 3) ? std::to_string(EntierDeCellule(table[r][c])) : ansi::AnsiVersUtf8(table[r][c]);
    }
    attendu += '\n';
  }
  EXPECT_EQ(LitOctets(sortie), attendu);
}

}  // namespace
