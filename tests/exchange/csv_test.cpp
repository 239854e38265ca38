// CSV files and the plain-text export: the writer's lines, the reader's splitting, round trips
// for every type and separator, an independent reading by Python's csv module, and the card
// file's state after a read, a save or an export.
#include "exchange/KorCsv.h"

#include <sstream>

#include "Outils.h"
#include "platform/Ansi.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace {

const std::string CRLF = "\r\n";
const std::string TropPeuDeChamps = "Le nombre de champs du fichier CSV n'est pas valide\u00A0!"_a;

TReglages Avec(char separateur, bool utf8 = false) {
  TReglages r;
  r.SeparateurCSV = separateur;
  r.CSVUtf8 = utf8;
  return r;
}

std::string Joint(const std::vector<std::string>& v, const std::string& sep) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) s += (i ? sep : "") + v[i];
  return s;
}

std::unique_ptr<TFichierX> Lit(const std::string& texte, char type, const TReglages& r) {
  return LitFichierCSVOctets(texte, type, r);
}

TEST(Csv, CapitaleLineIsWrittenAndReadBack) {
  const TReglages r = Avec(',');
  TFichierX q('Q', 'x', EVarianteModele::Complet, r);
  ASSERT_EQ(q.FFragmenteur, ";");
  ASSERT_EQ(q.FEspacement, " ");
  q.AjouteFiche("Capitale", "France ?", "Paris ; paris");
  EXPECT_EQ(OctetsFichierCSV(q, 's', r), "Capitale,France ?,Paris,paris\r\n");
  auto lu = Lit("Capitale,France ?,Paris,paris\r\n", 'Q', r);
  EXPECT_EQ(lu->FFormat, 's');
  EXPECT_FALSE(lu->FModifie);
  EXPECT_EQ(Cartes(*lu), Cartes(q));
}

TEST(Csv, QuotingOfTheWriter) {
  struct Cas {
    char separateur;
    std::string champ1, champ2, ligne;
  };
  const Cas cas[] = {
      {',', "a,b", "c", "\"a,b\",c"},
      {',', "dit \"oui\"", "c", "\"dit \"\"oui\"\"\",c"},
      {',', "avec\ttab", "x\xAFy", "avec tab,x y"},  // TAB and 175 are spaces, never quoted
      {';', "a,b", "c;d", "a,b;\"c;d\""},
      {' ', "France ?", "Paris", "\"France ?\" Paris"},
      {'\t', "a b", "c", "a b\tc"},
      {',', "", "", ","},
      {'\t', "", "", "\"\"\t\"\""},
      {',', "\x01", "c", "\"\x01\",c"},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(Visible(c.ligne));
    const TReglages r = Avec(c.separateur);
    TFichierX f('N', 'x', EVarianteModele::Complet, r);
    f.AjouteFicheDeuxChamps(c.champ1, c.champ2);
    EXPECT_EQ(OctetsFichierCSV(f, 's', r), c.ligne + CRLF);
  }
  // A card of one empty column is a line of two quotes, so that it is not a blank line.
  TFichierX l('L', 'x', EVarianteModele::Complet, Defauts);
  l.AjouteFiche("", "", "");
  EXPECT_EQ(OctetsFichierCSV(l, 's', Avec(',')), "\"\"\r\n");
  EXPECT_EQ(Lit("\"\"\r\n", 'L', Avec(','))->GetNombreFiches(), 1);
}

TEST(Csv, EmptyColumnsSurviveATabOrSpaceSeparator) {
  for (char sep : {'\t', ' ', ',', ';'}) {
    SCOPED_TRACE(int(sep));
    const TReglages r = Avec(sep);
    TFichierX q('Q', 'x', EVarianteModele::Complet, r);
    q.AjouteFiche("", "Q", "A");
    q.AjouteFiche("T", "", "A");
    q.AjouteFiche("T", "Q", "");
    q.AjouteFiche("T", "Q", "A ;  ; B ; ");
    const std::string octets = OctetsFichierCSV(q, 's', r);
    if (sep == '\t') {
      EXPECT_EQ(octets.substr(0, octets.find(CRLF)), "\"\"\tQ\tA");
    }
    auto lu = Lit(octets, 'Q', r);
    EXPECT_EQ(Cartes(*lu), Cartes(q)) << Visible(octets);
  }
}

TEST(Csv, SplittingOfTheReader) {
  struct Cas {
    char separateur;
    std::string ligne;
    std::vector<std::string> colonnes;
  };
  const Cas cas[] = {
      {',', "a,b,c", {"a", "b", "c"}},
      {',', "a,,c", {"a", "", "c"}},
      {',', "a,b,", {"a", "b", ""}},
      {',', ",b", {"", "b"}},
      {',', "\"a,b\",\"c\"\"d\"", {"a,b", "c\"d"}},
      {',', "\"a\"b,c", {"a", "b", "c"}},  // text after a closing quote starts a column
      {',', "\"abc,def", {"abc,def"}},       // no closing quote: up to the end
      {',', "   ", {"   "}},                 // spaces are text, not blanks
      {',', "France ?,x", {"France ?", "x"}},
      {',', "\t a", {" a"}},
      {'\t', "a\t\t\tb", {"a", "b"}},  // a run of TABs is one separator
      {'\t', "\"\"\tb\t\"\"", {"", "b", ""}},
      {' ', "  Cap   \"France   ?\"  Paris  ", {"Cap", "France ?", "Paris"}},
      {' ', "a \"\" b", {"a", "", "b"}},
      {';', "", {}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(Visible(c.ligne));
    EXPECT_EQ(DecoupeLigneCSV(c.ligne, c.separateur), c.colonnes);
  }
}

TEST(Csv, FieldsOfTheReader) {
  const TReglages virgule = Avec(',');
  // Type Q: field 0, field 1, then every further column an item.
  auto q = Lit("\r\n\r\nCap,Q,A,B,\r\n\r\n", 'Q', virgule);
  ASSERT_EQ(q->GetNombreFiches(), 1);
  EXPECT_EQ(q->Fiche(0).Champ0, "Cap");
  EXPECT_EQ(q->Fiche(0).Champ1, "Q");
  EXPECT_EQ(q->Fiche(0).Champ2, "A ; B ; ");
  // Type R (line mode): the items are lines; trailing blanks go.
  auto r = Lit("T,l1,l2,\r\nU,\" x \"\n", 'R', virgule);
  ASSERT_EQ(r->GetNombreFiches(), 2);
  EXPECT_EQ(r->Fiche(0).Champ1, "T");
  EXPECT_EQ(r->Fiche(0).Champ2, "l1\r\nl2");
  EXPECT_EQ(r->Fiche(1).Champ2, " x");
  // Type F: every column of a line is a line of field 1.
  auto f = Lit("a;b;c\rd", 'F', Avec(';'));
  ASSERT_EQ(f->GetNombreFiches(), 2);
  EXPECT_EQ(f->Fiche(0).Champ1, "a\r\nb\r\nc");
  EXPECT_EQ(f->Fiche(0).Champ2, "");
  EXPECT_EQ(f->Fiche(1).Champ1, "d");
  // A zero byte ends the text.
  auto nul = Lit(std::string("a\r\nb\0c\r\nd\r\n", 10), 'L', virgule);
  ASSERT_EQ(nul->GetNombreFiches(), 2);
  EXPECT_EQ(nul->Fiche(1).Champ2, "b");

  for (const auto& [texte, type] : std::vector<std::pair<std::string, char>>{
           {"a,b\r\n", 'Q'}, {"   \r\n", 'R'}, {"x,y\r\nseul\r\n", 'N'}}) {
    try {
      Lit(texte, type, virgule);
      ADD_FAILURE() << Visible(texte);
    } catch (const ErreurIdInvalide& e) {
      EXPECT_EQ(e.Message(), TropPeuDeChamps);
    }
  }
  EXPECT_EQ(Lit("   \r\n", 'L', virgule)->Fiche(0).Champ2, "");
}

TEST(Csv, Utf8FilesMarkAndBadBytes) {
  const TReglages utf8 = Avec(';', true);
  TFichierX f('N', 'x', EVarianteModele::Complet, utf8);
  f.AjouteFicheDeuxChamps("Été"_a, "à ç œ €"_a);
  const std::string octets = OctetsFichierCSV(f, 's', utf8);
  EXPECT_EQ(octets, "\xC3\x89t\xC3\xA9;\xC3\xA0 \xC3\xA7 \xC5\x93 \xE2\x82\xAC\r\n");
  EXPECT_EQ(Cartes(*Lit(octets, 'N', utf8)), Cartes(f));
  EXPECT_EQ(Cartes(*Lit("\xEF\xBB\xBF" + octets, 'N', utf8)), Cartes(f));
  EXPECT_EQ(Lit("a;\xCE\xA9\r\n", 'N', utf8)->Fiche(0).Champ2, "?");  // outside 1252
  for (const std::string& mauvais : {std::string("a;caf\xE9\r\n"), std::string("a;\xC3\r\n"), std::string("\xFF;b")}) {
    try {
      Lit(mauvais, 'N', utf8);
      ADD_FAILURE() << Visible(mauvais);
    } catch (const ErreurIdInvalide& e) {
      EXPECT_EQ(e.Message(), "Le fichier CSV n'est pas un texte UTF-8 valide\u00A0!"_a);
    }
  }
  // Without the setting the same bytes are 1252 text, the mark included.
  EXPECT_EQ(Lit("a;caf\xE9\r\n", 'N', Avec(';'))->Fiche(0).Champ2, "caf\xE9");
}

// Cards that every type and separator must give back exactly: no TAB, no runs of spaces, items
// trimmed, field 1 on one line except in type F.
void Remplit(TFichierX& f) {
  const bool ligne = f.FFragmenteur.empty() || f.FFragmenteur == CRLF;
  const std::string sep = ligne ? CRLF : f.FEspacement + f.FFragmenteur + f.FEspacement;
  const std::vector<std::vector<std::string>> items = {
      {"Paris", "l'\"île\""_a, "a,b", "é à ç"_a},
      {"\"", "seul", ""},
      {""},
      {"x", "", "y"},
  };
  const std::string titres1[] = {"Question, \"citée\" ?"_a, "", "Q;3|==", "\"début"_a};
  const std::string titres0[] = {"", "Titre 1", "T,2", "\xAB guillemets \xBB"};
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::vector<std::string> l = items[i];
    // In line mode trailing blank lines go on reading.
    if (ligne && l.size() > 1 && l.back().empty()) l.pop_back();
    if (f.FType == 'F')
      f.AjouteFiche("", Joint(l, CRLF), "");
    else
      f.AjouteFiche(titres0[i], titres1[i], Joint(l, sep));
  }
  if (ligne && f.FType != 'F') f.AjouteFiche("T", "Q", "l1\r\n\r\nl3");
}

// Runs cas on a filled card file of each of the types, with each separator, in 1252 and in
// UTF-8; a fatal failure ends the run as it would end a loop in the test itself.
template <class FCas>
void PourChaqueTypeEtSeparateur(const std::string& types, FCas cas) {
  for (char type : types)
    for (char sep : {',', ';', '\t', ' '})
      for (bool utf8 : {false, true}) {
        SCOPED_TRACE(std::string("type ") + type + " separator " + std::to_string(int(sep)) + (utf8 ? " UTF-8" : ""));
        const TReglages r = Avec(sep, utf8);
        TFichierX f(type, 'x', EVarianteModele::Complet, r);
        Remplit(f);
        cas(f, r, sep, utf8);
        if (::testing::Test::HasFatalFailure()) return;
      }
}

TEST(Csv, RoundTripForEveryTypeAndSeparator) {
  PourChaqueTypeEtSeparateur("DEFLMNQRV", [](TFichierX& f, const TReglages& r, char, bool) {
    const std::string octets = OctetsFichierCSV(f, 's', r);
    auto lu = Lit(octets, f.FType, r);
    EXPECT_EQ(Cartes(*lu), Cartes(f)) << Visible(octets);
  });
}

TEST(Csv, LineBreaksInsideColumnsNeverPartTheLine) {
  const TReglages r = Avec(',');
  // Field 1 of a line-mode type, and items outside line mode: each line break is one space.
  TFichierX n('N', 'x', EVarianteModele::Complet, r);
  n.AjouteFicheDeuxChamps("deux\r\nlignes", "corps");
  n.AjouteFicheDeuxChamps("cr\rseul", "lf\nseul");
  auto ln = Lit(OctetsFichierCSV(n, 's', r), 'N', r);
  ASSERT_EQ(ln->GetNombreFiches(), 2);
  EXPECT_EQ(ln->Fiche(0).Champ1, "deux lignes");
  EXPECT_EQ(ln->Fiche(0).Champ2, "corps");
  EXPECT_EQ(ln->Fiche(1).Champ1, "cr seul");
  EXPECT_EQ(ln->Fiche(1).Champ2, "lf\r\nseul");

  TFichierX q('Q', 'x', EVarianteModele::Complet, r);
  q.AjouteFiche("a\r\nb", "c\nd", std::string("e\r\nf ; g\0h", 10));
  auto lq = Lit(OctetsFichierCSV(q, 's', r), 'Q', r);
  ASSERT_EQ(lq->GetNombreFiches(), 1);
  EXPECT_EQ(lq->Fiche(0).Champ0, "a b");
  EXPECT_EQ(lq->Fiche(0).Champ1, "c d");
  EXPECT_EQ(lq->Fiche(0).Champ2, "e f ; g h");
}

TEST(Csv, SeparatorsThatNoLineCanCarryAreRefused) {
  for (char sep : {'"', '\r', '\n', '\0', '\xAF'}) {
    TFichierX f('N', 'x', EVarianteModele::Complet, Defauts);
    f.AjouteFicheDeuxChamps("a", "b");
    EXPECT_THROW(OctetsFichierCSV(f, 's', Avec(sep)), EErreur) << int(sep);
    EXPECT_NO_THROW(OctetsFichierCSV(f, 't', Avec(sep)));
  }
}

TEST(Csv, PlainTextExport) {
  TFichierX r('R', 'x', EVarianteModele::Complet, Defauts);
  r.AjouteFicheDeuxChamps("T1", "l1\r\nl2");
  r.AjouteFicheDeuxChamps("T2", "b");
  EXPECT_EQ(OctetsFichierCSV(r, 't', Avec(',')), "T1\r\nl1\r\nl2\r\nT2\r\nb\r\n");
  TFichierX m('M', 'x', EVarianteModele::Complet, Defauts);
  m.AjouteFiche("Nom", "Q ?", "a\tb");
  EXPECT_EQ(OctetsFichierCSV(m, 't', Avec(',', true)), "Nom\r\nQ ?\r\na\tb\r\n");
  TFichierX l('L', 'x', EVarianteModele::Complet, Defauts);
  l.AjouteFiche("", "", "élément"_a);
  EXPECT_EQ(OctetsFichierCSV(l, 't', Avec(',', true)), "\xC3\xA9l\xC3\xA9ment\r\n");
}

// ---- Python's csv module reads our files into the same cells ----

class CsvPython : public DossierTemporaire {};

TEST_F(CsvPython, SameCellsAsTheIndependentReader) {
  if (!CommandeExiste("python3")) GTEST_SKIP() << "python3 is not installed";
  const std::string script = Chemin("lit.py");
  EcritOctets(script,
              "import csv, sys\n"
              "chemin, sep, enc = sys.argv[1], chr(int(sys.argv[2])), sys.argv[3]\n"
              "with open(chemin, newline='', encoding=enc) as f:\n"
              "    for row in csv.reader(f, delimiter=sep, quotechar='\"', doublequote=True, strict=True):\n"
              "        print(' '.join('x' + c.encode(enc).hex() for c in row))\n");
  PourChaqueTypeEtSeparateur("QRLMF", [&](TFichierX& f, const TReglages& r, char sep, bool utf8) {
    f.AjouteFiche("\x01", "ctl\x1F", "fin\tx\xAFy");
    const std::string nom = Chemin("cartes.csv");
    const std::string octets = OctetsFichierCSV(f, 's', r);
    EcritOctets(nom, octets);
    int statut = 0;
    const std::string sortie = Execute("python3 " + script + " " + nom + " " + std::to_string(int(sep)) + " " +
                                           (utf8 ? "utf-8" : "latin-1"),
                                       statut);
    ASSERT_EQ(statut, 0) << Visible(octets);
    // Our reader's cells, line by line.
    const std::string texte = utf8 ? ansi::Utf8VersAnsi(octets) : octets;
    std::vector<std::vector<std::string>> nos, leurs;
    for (std::size_t d = 0, p; (p = texte.find(CRLF, d)) != std::string::npos; d = p + 2)
      nos.push_back(DecoupeLigneCSV(texte.substr(d, p - d), sep));
    std::istringstream lignes(sortie);
    for (std::string ligne; std::getline(lignes, ligne);) {
      std::vector<std::string> cellules;
      std::istringstream mots(ligne);
      for (std::string mot; mots >> mot;) {
        std::string octetsCellule;
        for (std::size_t k = 1; k + 1 < mot.size(); k += 2)
          octetsCellule += static_cast<char>(std::stoi(mot.substr(k, 2), nullptr, 16));
        cellules.push_back(utf8 ? ansi::Utf8VersAnsi(octetsCellule) : octetsCellule);
      }
      leurs.push_back(cellules);
    }
    EXPECT_EQ(nos, leurs) << Visible(octets);
  });
}

// ---- Files: the stream kept, saves and exports ----

class CsvFichiers : public DossierTemporaire {};

TEST_F(CsvFichiers, ReadKeepsTheStreamAndASaveTakesTheNewOne) {
  const TReglages r = Avec(',');
  const std::string nom = Chemin("liste.csv");
  EcritOctets(nom, "a\r\nb\r\n");
  auto f = LitFichierCSV(nom, 'L', true, r);
  EXPECT_EQ(f->FType, 'L');
  EXPECT_EQ(f->FFormat, 's');
  EXPECT_EQ(f->FNomFichier, nom);
  EXPECT_TRUE(f->FModifiable);
  EXPECT_FALSE(f->FModifie);
  ASSERT_TRUE(f->FFlux);
  EXPECT_EQ(f->FFlux->Mode(), EModeOuverture::LectureEcriture);
  f->SetFiche(1, "", "", "c, d");
  EcritFichierCSV(*f, 's', nom, false, r);
  EXPECT_FALSE(f->FModifie);
  ASSERT_TRUE(f->FFlux);
  EXPECT_EQ(LitOctets(nom), "a\r\n\"c, d\"\r\n");

  TFichierX n('N', 'x', EVarianteModele::Complet, Defauts);
  n.AjouteFicheDeuxChamps("k", "v");
  const std::string autre = Chemin("notes.csv");
  EcritFichierCSV(n, 's', autre, true, r);
  EXPECT_EQ(n.FFormat, 's');
  EXPECT_EQ(n.FNomFichier, autre);
  EXPECT_TRUE(n.FModifiable);
  EXPECT_FALSE(n.FModifie);
  ASSERT_TRUE(n.FFlux);
  EXPECT_EQ(LitOctets(autre), "k,v\r\n");

  EXPECT_THROW(LitFichierCSV(Chemin("absent.csv"), 'L', false, r), EFOpenError);
}

TEST_F(CsvFichiers, ExportLeavesTheCardFileAndItsStreamAlone) {
  const TReglages r = Avec(',');
  const std::string nom = Chemin("repertoire.csv");
  EcritOctets(nom, "T,corps\r\n");
  auto f = LitFichierCSV(nom, 'R', true, r);
  f->SetFiche(0, "", "T", "nouveau corps");
  const TFlux* flux = f->FFlux.get();

  const std::string texte = Chemin("export.txt");
  EcritFichierCSV(*f, 't', texte, true, r);
  EXPECT_EQ(LitOctets(texte), "T\r\nnouveau corps\r\n");
  EXPECT_EQ(f->FFormat, 's');
  EXPECT_EQ(f->FNomFichier, nom);
  EXPECT_TRUE(f->FModifie);
  EXPECT_EQ(f->FFlux.get(), flux);
  EXPECT_NO_THROW(TFlux::Ouvre(texte, EModeOuverture::LectureEcriture));  // the export is closed

  // Nouveau false is what the editor passes for the open file's own name: still refused.
  for (bool nouveau : {false, true}) {
    EXPECT_THROW(EcritFichierCSV(*f, 't', nom, nouveau, r), EFCreateError);
    EXPECT_EQ(LitOctets(nom), "T,corps\r\n");
    EXPECT_EQ(f->FFlux.get(), flux);
  }
  f->FFlux->Positionne(0);
  EXPECT_EQ(f->FFlux->LitReste(), "T,corps\r\n");
}

}  // namespace
