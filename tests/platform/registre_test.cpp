#include "platform/Registre.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Ansi.h"
#include "tests/Outils.h"

namespace fs = std::filesystem;

namespace {

const std::string Cle = "Software\\Orvaline";

class Registre : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    fichier = dossier + "/sous/dossier/Orvaline.ini";
    setenv("ORVALINE_REGISTRE", fichier.c_str(), 1);
  }

  std::string Contenu() const { return LitOctets(fichier); }

  const std::string& dossier = Dossier;
  std::string fichier;
};

TEST_F(Registre, FichierDesigneParLaVariableDEnvironnement) {
  EXPECT_EQ(TRegistre::CheminFichier(), fichier);
  unsetenv("ORVALINE_REGISTRE");
  const std::string defaut = TRegistre::CheminFichier();
  EXPECT_TRUE(defaut.ends_with("/Orvaline/Orvaline.ini")) << defaut;
  setenv("ORVALINE_REGISTRE", fichier.c_str(), 1);
}

TEST_F(Registre, OuvrirCreeLaCleVideEtSesDossiers) {
  TRegistre r;
  EXPECT_FALSE(r.OuvreCle(Cle, false)) << "without creation, a missing key stays missing";
  EXPECT_FALSE(fs::exists(fichier));
  ASSERT_TRUE(r.OuvreCle(Cle));
  EXPECT_TRUE(fs::exists(fichier));
  EXPECT_FALSE(r.ValeurExiste("or"));
  EXPECT_EQ(r.LitTexte("or"), std::nullopt);
  EXPECT_EQ(r.LitEntier("fosize"), std::nullopt);
  EXPECT_EQ(r.LitBooleen("minsp"), std::nullopt);
  r.FermeCle();
  EXPECT_TRUE(r.OuvreCle("software/orvaline", false)) << "names ignore case and slash direction";
  EXPECT_FALSE(r.OuvreCle("Software\\Autre"));
}

TEST_F(Registre, ValeursDeChaqueType) {
  {
    TRegistre r;
    ASSERT_TRUE(r.OuvreCle(Cle));
    r.EcritTexte("or", "ou");
    r.EcritTexte("vide", "");
    r.EcritEntier("fosize", 10);
    r.EcritEntier("negatif", -2147483647 - 1);
    r.EcritEntier("max", 2147483647);
    r.EcritBooleen("vrai", true);
    r.EcritBooleen("faux", false);
  }
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  EXPECT_EQ(r.LitTexte("or"), "ou");
  EXPECT_TRUE(r.ValeurExiste("vide"));
  EXPECT_EQ(r.LitTexte("vide"), "") << "an existing empty text is not an absent one";
  EXPECT_EQ(r.LitEntier("fosize"), 10);
  EXPECT_EQ(r.LitEntier("negatif"), -2147483647 - 1);
  EXPECT_EQ(r.LitEntier("max"), 2147483647);
  EXPECT_EQ(r.LitBooleen("vrai"), true);
  EXPECT_EQ(r.LitBooleen("faux"), false);
  EXPECT_EQ(r.LitEntier("vrai"), 1) << "Booleans are stored as 0 or 1";
  EXPECT_EQ(r.LitEntier("faux"), 0);
  // A value of another type is no integer.
  EXPECT_EQ(r.LitEntier("or"), std::nullopt);
  EXPECT_EQ(r.LitBooleen("or"), std::nullopt);
  EXPECT_EQ(r.LitEntier("vide"), std::nullopt);
  EXPECT_EQ(r.LitTexte("fosize"), "10");
}

TEST_F(Registre, EntiersEtBooleensEcritsParUnAutreProgramme) {
  fs::create_directories(fs::path(fichier).parent_path());
  std::ofstream(fichier) << "[General]\n"
                            "deux=2\nmoins=-1\nzero=0\nespaces= 7 \nlettres=12a\nvirgule=1.5\n"
                            "trop=2147483648\nhexa=0x10\nvrai=true\nliste=a,b\n";
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  struct Cas {
    const char* nom;
    std::optional<std::int32_t> entier;
    std::optional<bool> booleen;
  };
  const Cas cas[] = {
      {"deux", 2, true},  // any integer other than 0 is true
      {"moins", -1, true},
      {"zero", 0, false},
      {"espaces", 7, true},
      {"lettres", std::nullopt, std::nullopt},
      {"virgule", std::nullopt, std::nullopt},
      {"trop", std::nullopt, std::nullopt},  // past a signed 32-bit integer
      {"hexa", std::nullopt, std::nullopt},
      {"vrai", std::nullopt, std::nullopt},
      {"liste", std::nullopt, std::nullopt},
      {"absent", std::nullopt, std::nullopt},
  };
  for (const auto& c : cas) {
    EXPECT_EQ(r.LitEntier(c.nom), c.entier) << c.nom;
    EXPECT_EQ(r.LitBooleen(c.nom), c.booleen) << c.nom;
  }
  EXPECT_EQ(r.LitTexte("liste"), "a,b");
}

TEST_F(Registre, TextesDifficilesFontLAllerRetour) {
  std::string tous;
  for (int c = 1; c < 256; ++c) tous += static_cast<char>(c);
  const std::string textes[] = {
      "!\"',-.:;?",  // the default word delimiters
      " espaces autour ",
      "a;b,c=d",
      "\"entre guillemets\"",
      "\\chemin\\vers\\fichier",
      "@Variant(0)",
      "@@",
      "ligne 1\r\nligne 2\tfin",
      "\x01" "1f",  // a control character followed by hex digits
      "Félicitations !"_a,
      "Pas terrible, hum ?..."_a,
      "\x80\x81\x8D\x8F\x90\x9D\xFF",
      "[General]\nx=1",
      tous,
  };
  {
    TRegistre r;
    ASSERT_TRUE(r.OuvreCle(Cle));
    for (std::size_t i = 0; i < std::size(textes); ++i) r.EcritTexte("t" + std::to_string(i), textes[i]);
    r.EcritTexte("nul", std::string("avant\0apres", 11));
  }
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  for (std::size_t i = 0; i < std::size(textes); ++i)
    EXPECT_EQ(r.LitTexte("t" + std::to_string(i)), textes[i]) << i;
  EXPECT_EQ(r.LitTexte("nul"), "avant") << "a text ends at its first NUL";
  // Stored as UTF-8, readable in the file.
  EXPECT_NE(Contenu().find("Félicitations !"), std::string::npos) << Contenu();
}

TEST_F(Registre, ChaqueEcritureAtteintLeFichierEtNeToucheQueSaValeur) {
  TRegistre a, b;
  ASSERT_TRUE(a.OuvreCle(Cle));
  ASSERT_TRUE(b.OuvreCle(Cle));
  a.EcritTexte("open", "premier");
  EXPECT_NE(Contenu().find("open=premier"), std::string::npos) << "written at once";
  b.EcritTexte("host", "serveur");
  a.EcritEntier("openum", 3);
  b.EcritTexte("open", "second");  // last writer wins
  a.SupprimeValeur("absent");      // no error
  TRegistre c;
  ASSERT_TRUE(c.OuvreCle(Cle));
  EXPECT_EQ(c.LitTexte("open"), "second");
  EXPECT_EQ(c.LitTexte("host"), "serveur");
  EXPECT_EQ(c.LitEntier("openum"), 3);
}

TEST_F(Registre, LesValeursDUnAutreProgrammeSurvivent) {
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  r.EcritTexte("open", "avant");
  // Another process rewrites the file while our key is open.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TRegistre autre;
    if (!autre.OuvreCle(Cle)) _exit(1);
    autre.EcritTexte("host", "ailleurs");
    autre.EcritEntier("cotout", 500);
    autre.SupprimeValeur("open");
    autre.FermeCle();
    _exit(0);
  }
  int statut = 0;
  waitpid(pid, &statut, 0);
  ASSERT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
  r.EcritEntier("openum", 4);
  r.FermeCle();
  TRegistre lu;
  ASSERT_TRUE(lu.OuvreCle(Cle));
  EXPECT_EQ(lu.LitTexte("host"), "ailleurs");
  EXPECT_EQ(lu.LitEntier("cotout"), 500);
  EXPECT_EQ(lu.LitEntier("openum"), 4);
  EXPECT_FALSE(lu.ValeurExiste("open")) << "the other program's deletion holds too";
}

TEST_F(Registre, SupprimerUneValeurEtLaCle) {
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  r.EcritTexte("comma", ";");
  r.EcritEntier("height", 367);
  r.SupprimeValeur("comma");
  EXPECT_FALSE(r.ValeurExiste("comma"));
  EXPECT_TRUE(r.ValeurExiste("height"));
  EXPECT_EQ(Contenu().find("comma"), std::string::npos);

  EXPECT_TRUE(TRegistre::SupprimeCle(Cle));
  EXPECT_FALSE(fs::exists(fichier));
  EXPECT_FALSE(r.ValeurExiste("height")) << "a key still open forgets the deleted values";
  EXPECT_FALSE(TRegistre::SupprimeCle(Cle)) << "nothing left to delete";
  TRegistre neuf;
  EXPECT_FALSE(neuf.OuvreCle(Cle, false));
  ASSERT_TRUE(neuf.OuvreCle(Cle));
  EXPECT_FALSE(neuf.ValeurExiste("height"));
}

TEST_F(Registre, FichierImpossibleACreerOuALire) {
  // A regular file where a folder should be: the folders cannot be made, even by root.
  std::ofstream(dossier + "/fichier") << "x";
  setenv("ORVALINE_REGISTRE", (dossier + "/fichier/Orvaline/Orvaline.ini").c_str(), 1);
  TRegistre r;
  EXPECT_FALSE(r.OuvreCle(Cle));
  r.EcritTexte("or", "ou");  // a key that failed to open writes nothing and raises nothing
  EXPECT_EQ(r.LitTexte("or"), std::nullopt);
  // A folder in place of the file.
  setenv("ORVALINE_REGISTRE", dossier.c_str(), 1);
  EXPECT_FALSE(r.OuvreCle(Cle));
  setenv("ORVALINE_REGISTRE", fichier.c_str(), 1);
}

// A write that does not reach the file is known, so that a program does not claim it saved.
TEST_F(Registre, EcritureRefuseeSignalee) {
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  r.EcritTexte("or", "ou");
  EXPECT_FALSE(r.EchecEcriture());
  const std::string avant = Contenu();
  {
    LimiteTailleFichiers limite(avant.size() + 8);  // a disk that is full
    r.EcritTexte("ignor", std::string(200, 'x'));
  }
  EXPECT_TRUE(r.EchecEcriture());
  EXPECT_EQ(Contenu(), avant) << "the file is left whole";
  r.FermeCle();
  EXPECT_TRUE(r.EchecEcriture()) << "still known once the key is closed";
  ASSERT_TRUE(r.OuvreCle(Cle));
  EXPECT_FALSE(r.EchecEcriture());
  r.SupprimeValeur("or");
  r.FermeCle();
  EXPECT_FALSE(r.EchecEcriture());
}

TEST_F(Registre, CleExiste) {
  EXPECT_FALSE(TRegistre::CleExiste(Cle));
  TRegistre r;
  ASSERT_TRUE(r.OuvreCle(Cle));
  r.FermeCle();
  EXPECT_TRUE(TRegistre::CleExiste(Cle));
  EXPECT_TRUE(TRegistre::CleExiste("software/orvaline"));
  EXPECT_FALSE(TRegistre::CleExiste("Software\\Autre"));
  ASSERT_TRUE(TRegistre::SupprimeCle(Cle));
  EXPECT_FALSE(TRegistre::CleExiste(Cle));
}

}  // namespace
