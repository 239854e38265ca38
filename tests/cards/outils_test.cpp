// Text helpers, file-name helpers, escapes and format recognition.
#include "cards/KorOutils.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/Fichier.h"
#include "platform/Locale.h"
#include "tests/Outils.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace fs = std::filesystem;

namespace {

class Outils : public testing::Test {
 protected:
  void SetUp() override { FixeLocale("fr_FR"); }
  void TearDown() override { FixeLocale(""); }
};

TEST_F(Outils, PremierCaractereEtSansEspaces) {
  EXPECT_EQ(PremierCaractere(""), ' ');
  EXPECT_EQ(PremierCaractere("\xE9t\xE9"), '\xE9');
  EXPECT_EQ(PremierCaractere(std::string(1, '\0')), '\0');
  EXPECT_EQ(SansEspaces(" a b\tc \xA0 d\r\n "), "ab\tc\xA0" "d\r\n");
  EXPECT_EQ(SansEspaces("   "), "");
}

// Blanks are the codes 0 to 32 at either end; the no-break space and the letters above 127 stay.
TEST_F(Outils, RogneLesBlancs) {
  const struct {
    std::string texte, gauche, droite, deuxBouts;
  } cas[] = {
      {"", "", "", ""},
      {" \t\r\n", "", "", ""},
      {std::string("\0\x01 a b \x1F\x20", 9), "a b \x1F ", std::string("\0\x01 a b", 6), "a b"},
      {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
      {"\x7F\xE9 \x80", "\x7F\xE9 \x80", "\x7F\xE9 \x80", "\x7F\xE9 \x80"},
  };
  for (const auto& c : cas) {
    EXPECT_EQ(RogneGauche(c.texte), c.gauche) << c.texte;
    EXPECT_EQ(RogneDroite(c.texte), c.droite) << c.texte;
    EXPECT_EQ(Rogne(c.texte), c.deuxBouts) << c.texte;
  }
  for (int code = 0; code < 256; ++code)
    EXPECT_EQ(EstBlanc(static_cast<char>(code)), code <= 32) << code;
}

TEST_F(Outils, RemplaceToutEnUnePasse) {
  struct Cas {
    std::string texte, motif, par, attendu;
  };
  const Cas cas[] = {
      {"a(:b:)c(:d:)", "(:", "{:SA:=", "a{:SA:=b:)c{:SA:=d:)"},
      {"aaaa", "aa", "a", "aa"},        // left to right, without overlap
      {"aaa", "a", "aa", "aaaaaa"},     // what is put in is not searched again
      {"abc", "", "x", "abc"},          // an empty motif changes nothing
      {"", "a", "b", ""},
      {"x\r\ny\r\n", "\r\n", "", "xy"},
      {"\xE9t\xE9", "\xE9", "e", "ete"},
  };
  for (const Cas& c : cas) {
    std::string t = c.texte;
    RemplaceTout(t, c.motif, c.par);
    EXPECT_EQ(t, c.attendu) << c.texte << " / " << c.motif;
  }
}

TEST_F(Outils, EchappeEtDesechappe) {
  const struct {
    std::string clair, echappe;
  } allerRetour[] = {
      {"\\ \t", "\\\\\\s\\t"},
      {"\r\n", "\\n"},
      {" ; ", "\\s;\\s"},
      {"===", "==="},
      {"a\\sb", "a\\\\sb"},
      {"\\n", "\\\\n"},
      {"\r", "\r"},  // a CR alone is no line break
  };
  for (const auto& c : allerRetour) {
    EXPECT_EQ(Echappe(c.clair), c.echappe) << c.clair;
    if (c.clair != "\r") {
      EXPECT_EQ(Desechappe(c.echappe), c.clair) << c.echappe;
    }
  }
  const struct {
    std::string echappe, clair;
  } lecture[] = {
      {"\\\\s", "\\s"},
      {" \\s ", " "},
      {"  ;  ", ";"},
      {"\t\r\n;\x01", ";"},
      {"\\x\\", "\\x\\"},        // unknown escape, and a backslash standing last, are kept
      {"\\", "\\"},
      {"\\\\\\", "\\\\"},
      {"\\t\\n\\s", "\t\r\n "},
      {"a\\Sb", "a\\Sb"},        // case-sensitive
      {"\xE9\\s\xE9", "\xE9 \xE9"},  // é is no blank
      {"", ""},
  };
  for (const auto& c : lecture) EXPECT_EQ(Desechappe(c.echappe), c.clair) << c.echappe;
}

TEST_F(Outils, SeparateurListeEtSeparateurCSV) {
  EXPECT_EQ(SeparateurListe(), ";");
  FixeLocale("en_US");
  EXPECT_EQ(SeparateurListe(), ",");
  FixeLocale("fr_FR");

  const struct {
    std::string texte;
    char separateur;
  } cas[] = {{"\\t", '\t'}, {"", ';'}, {"|", '|'}, {"  #  ", '#'}, {"\\s", ' '},
             {"   ", ' '},  {"::", ':'}, {"\\\\", '\\'}, {"\\n", '\r'}};
  for (const auto& c : cas) {
    TReglages r;
    FixeSeparateurCSV(c.texte, r);
    EXPECT_EQ(r.TexteSeparateurCSV, c.texte);
    EXPECT_EQ(r.SeparateurCSV, c.separateur) << c.texte;
  }
}

TEST_F(Outils, ExtensionDuMotif) {
  const struct {
    std::string motif;
    char type;
    std::string extension;
  } cas[] = {{"kq*", 'Q', "kqq"}, {"xkq*", 'Q', "xkqq"}, {"KQ*", 'Q', "kqq"}, {"csv", 'L', "csv"},
             {"TXT", 'R', "txt"}, {"*.*", 'M', "m.*"},  {"x\xC9*", 'L', "x\xC9l"}, {"", 'Q', ""},
             {"kq*", '\xC9', "kq\xC9"}};
  for (const auto& c : cas) EXPECT_EQ(ExtensionDuMotif(c.motif, c.type), c.extension) << c.motif;
  EXPECT_EQ(ExtensionDuMotif(std::string(300, 'A'), 'Q'), std::string(255, 'a'));
}

TEST_F(Outils, NomsDeFichiers) {
  const struct {
    std::string chemin, sansExtension, avecVolume;
  } cas[] = {
      {"D:\\cartes\\liste.kqq", "liste", "liste.kqq sur D:"},
      {"D:\\cartes\\liste", "liste", "liste sur D:"},
      {"d:\\cartes\\liste.kqq", "liste", "liste.kqq sur d:"},
      {"C:\\cartes\\liste.kqq", "liste", "liste.kqq"},
      {"c:\\cartes\\liste.kqq", "liste", "liste.kqq"},
      {"\\\\serveur\\partage\\liste.kqq", "liste", "liste.kqq sur serveur"},
      {"//serveur/partage/liste.kqq", "liste", "liste.kqq sur serveur"},
      {"\\\\serveur", "serveur", "serveur sur "},
      {"/home/anne/cartes/liste.v2.xkqq", "liste.v2", "liste.v2.xkqq"},
      {"/home/anne/Étude/liste.kqq", "liste", "liste.kqq"},
      {"liste.kqq", "liste", "liste.kqq"},
      {"", "", ""},
  };
  for (const auto& c : cas) {
    EXPECT_EQ(NomSansExtension(c.chemin), c.sansExtension) << c.chemin;
    EXPECT_EQ(NomAvecVolume(c.chemin), c.avecVolume) << c.chemin;
  }
}

// Bytes of a native file as the system writes it: a 61-byte title line, then the header record
// whose length byte is followed by the signature and the version's major number.
std::string Natif(char signature = '\xC7', char version = 7, std::size_t taille = 128) {
  std::string o(61, ' ');
  o += '\x02';
  o += signature;
  o += 'Q';
  o += version;
  o.resize(taille, '\0');
  return o;
}

TEST_F(Outils, DetecteFormatOctets) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string utf16("<\0?\0x\0m\0l\0 \0<\0O\0R\0V\0A\0", 22);
  const struct {
    const char* cas;
    std::string octets, nom;
    char complet, joueur;
  } cas[] = {
      {"carte XML", xml + "<ORVALINE TYPE=\"Q\">", "f.xkqq", 'x', 'x'},
      {"carte XML avec marque", bom + xml + "<ORVALINE>", "f.xkqq", 'x', 'x'},
      {"carte XML en UTF-16", "\xFF\xFE" + utf16, "f.xkqq", '?', '?'},
      {"quiz Moodle", xml + "<quiz>", "q.xml", 'm', 'm'},
      {"autre XML", xml + "<html>", "f.xml", '?', '?'},
      {"autre XML nomme csv", xml + "<a>;</a>", "f.csv", '?', '?'},
      {"XML casse differente", "<?XML <ORVALINE>", "f.xkqq", '?', '?'},
      {"racine apres un zero", xml + std::string(1, '\0') + "<ORVALINE>", "f.xkqq", '?', '?'},
      {"racine au-dela de 255", xml + std::string(255, ' ') + "<ORVALINE>", "f.xkqq", '?', '?'},
      {"natif", Natif(), "f.kqq", 'n', 'n'},
      {"natif KQ", Natif('K'), "f.kqq", 'n', 'n'},
      {"natif de 65 octets", Natif('\xC7', 7, 65), "f.kqq", 'n', 'n'},
      {"natif de 64 octets", Natif('\xC7', 7, 64), "f.kqq", '?', '?'},
      {"version trop grande", Natif('\xC7', 0x20), "f.kqq", '?', '?'},
      {"signature inconnue", Natif('k'), "f.kqq", '?', '?'},
      {"natif nomme csv", Natif() + ";", "f.csv", 'n', 'n'},
      {"CSV", "a;b;c\r\n", "f.csv", 's', '?'},
      {"CSV en capitales", "a;b;c\r\n", "F.CSV", 's', '?'},
      {"CSV casse melee", "a;b", "/tmp/f.CsV", 's', '?'},
      {"CSV nomme txt", "a;b;c\r\n", "f.txt", '?', '?'},
      {"CSV sans separateur", "a,b,c\r\n", "f.csv", '?', '?'},
      {"CSV separateur apres un zero", std::string("abc\0;", 5), "f.csv", '?', '?'},
      {"extension dans le dossier", "a;b", "/tmp/x.csv/f", '?', '?'},
      {"Cardfile MGC", "MGC\x02\x00", "f.crd", 'c', '?'},
      {"Cardfile RRG", "RRG", "f.crd", 'c', '?'},
      {"Cardfile DKO", "DKO", "f", 'c', '?'},
      {"Cardfile minuscules", "mgc", "f.crd", '?', '?'},
      {"Cardfile nomme csv sans separateur", "MGC", "f.csv", 'c', '?'},
      {"vide", "", "f.kqq", '?', '?'},
  };
  TReglages r;
  r.SeparateurCSV = ';';
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    EXPECT_EQ(DetecteFormatOctets(c.octets, c.nom, EVarianteDetection::Complete, r), c.complet);
    EXPECT_EQ(DetecteFormatOctets(c.octets, c.nom, EVarianteDetection::Joueur, r), c.joueur);
  }
  // The separator tested is the current setting.
  r.SeparateurCSV = ',';
  EXPECT_EQ(DetecteFormatOctets("a,b", "f.csv", EVarianteDetection::Complete, r), 's');
  EXPECT_EQ(DetecteFormatOctets("a;b", "f.csv", EVarianteDetection::Complete, r), '?');
}

class DetectionFichier : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    FixeLocale("fr_FR");
  }
  void TearDown() override {
    FixeLocale("");
    DossierTemporaire::TearDown();
  }
  std::string Ecrit(const std::string& nom, const std::string& octets) {
    const std::string chemin = Chemin(nom);
    EcritOctets(chemin, octets);
    return chemin;
  }
  const std::string& dossier = Dossier;
};

TEST_F(DetectionFichier, LitLesPremiersOctetsDuFichier) {
  TReglages r;
  r.SeparateurCSV = ';';
  const std::string natif = Ecrit("liste.kqq", Natif() + std::string(10000, 'x'));
  EXPECT_EQ(DetecteFormat(natif, EVarianteDetection::Complete, r), 'n');
  const std::string csv = Ecrit("Réponses.CSV", "Question;Réponse\r\n");
  EXPECT_EQ(DetecteFormat(csv, EVarianteDetection::Complete, r), 's');
  EXPECT_EQ(DetecteFormat(csv, EVarianteDetection::Joueur, r), '?');
  // Beyond the first 255 bytes nothing counts.
  const std::string loin = Ecrit("loin.csv", std::string(255, 'a') + ";");
  EXPECT_EQ(DetecteFormat(loin, EVarianteDetection::Complete, r), '?');
  EXPECT_EQ(DetecteFormat(Ecrit("vide.kqq", ""), EVarianteDetection::Complete, r), '?');
  // The file is closed again: it can be opened locked at once.
  EXPECT_NO_THROW(TFlux::Ouvre(natif, EModeOuverture::LectureEcriture));
}

TEST_F(DetectionFichier, UnFichierQuOnNePeutOuvrirDonneLErreurDOuverture) {
  const std::string absent = dossier + "/absent.kqq";
  try {
    DetecteFormat(absent, EVarianteDetection::Complete, Defauts);
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(e.Message().starts_with("Impossible d'ouvrir le fichier \"")) << e.Message();
    EXPECT_NE(e.Message().find("absent.kqq"), std::string::npos);
  }
  // A file held locked for writing by someone else cannot be read either.
  const std::string tenu = Ecrit("tenu.kqq", Natif());
  const auto flux = TFlux::Ouvre(tenu, EModeOuverture::LectureEcriture);
  EXPECT_THROW(DetecteFormat(tenu, EVarianteDetection::Complete, Defauts), EFOpenError);
}

}  // namespace
