// The settings store: defaults, reading rules, and what each program's share reads and writes.
#include "cards/KorInit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <variant>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/Registre.h"
#include "tests/Outils.h"

namespace fs = std::filesystem;

namespace {

const std::string Cle = "Software\\Orvaline";

using TMembre = std::variant<std::string TReglages::*, std::int32_t TReglages::*, bool TReglages::*>;
struct TVal {
  std::string nom;
  TMembre membre;
  std::string defaut;  // as the file holds it: text, decimal integer, 0 or 1
};

// Every value of the key with its default.
const std::vector<TVal> Valeurs = {
    {"or", &TReglages::Conjonction, "ou"},
    {"xdelim", &TReglages::Ponctuation, "!\"',-.:;?"},
    {"ignor", &TReglages::MotsIgnores, "un une des le la les l de du et"},
    {"foname", &TReglages::PoliceChamps, "Lucida Sans Typewriter"},
    {"fosize", &TReglages::TaillePoliceChamps, "10"},
    {"open", &TReglages::FichierOuvert, ""},
    {"openum", &TReglages::NumeroFicheOuvert, "0"},
    {"recent", &TReglages::FichierRecent, ""},
    {"recnum", &TReglages::NumeroFicheRecent, "0"},
    {"opened", &TReglages::FichierOuvertEnQuittant, "0"},
    {"minsp", &TReglages::EspaceAutourSeparateur, "0"},
    {"fulscr", &TReglages::PleinEcran, "0"},
    {"height", &TReglages::HauteurFenetre, "367"},
    {"width", &TReglages::LargeurFenetre, "607"},
    {"topmst", &TReglages::AvantPlan, "0"},
    {"reopen", &TReglages::OuvrirAuDemarrage, "1"},
    {"uninst", &TReglages::InstanceUnique, "0"},
    {"sign", &TReglages::SignatureDefaut, ""},
    {"srcbck", &TReglages::ChercheArriere, "0"},
    {"alltyp", &TReglages::TousTypes, "1"},
    {"types", &TReglages::TypesUtilises, "RNLQM"},
    {"frmats", &TReglages::FormatsUtilises, "xscmt"},
    {"lstfon", &TReglages::PoliceListe, "MS Reference Sans Serif"},
    {"lstfos", &TReglages::TaillePoliceListe, "12"},
    {"xslfil", &TReglages::FeuilleStyleDefaut, ""},
    {"xmlutf", &TReglages::XMLUtf8, "1"},
    {"lfonly", &TReglages::XMLLFSeul, "1"},
    {"mcqor", &TReglages::SeparateurQCM, "==="},
    {"mcqfrm", &TReglages::FormatQCM, ""},
    {"mcqnor", &TReglages::NombreSeparateursQCM, "4"},
    {"comma", &TReglages::TexteSeparateurCSV, ""},
    {"csvtyp", &TReglages::TypesCSV, "L"},
    {"csvutf", &TReglages::CSVUtf8, "0"},
    {"ncwnf", &TReglages::NouvelleFicheSiNouveauFichier, "0"},
    {"good", &TReglages::MessageBon, "Félicitations !"_a},
    {"bad", &TReglages::MessageMauvais, "Pas terrible, hum ?..."},
    {"mean", &TReglages::MessageMoyen, "Passable."},
    {"chpref", &TReglages::MenuPreferencesVisible, "1"},
    {"ctrla", &TReglages::CtrlAAccepte, "1"},
    {"ctaltp", &TReglages::CtrlAltPBascule, "1"},
    {"menu", &TReglages::BarreMenu, "1"},
    {"host", &TReglages::HoteFeuilleNotes, ""},
    {"cotout", &TReglages::DelaiConnexion, "3000"},
    {"margin", &TReglages::MargeSeuil, "6"},
    {"maxhun", &TReglages::NoteSur100, "1"},
    {"repunf", &TReglages::RapporteInterrompues, "0"},
    {"mnfile", &TReglages::MenuFichierEnPartie, "0"},
    {"mnplay", &TReglages::MenuPartieEnPartie, "1"},
};

const TVal& Val(const std::string& nom) {
  for (const auto& v : Valeurs)
    if (v.nom == nom) return v;
  throw std::logic_error(nom);
}

std::string Repr(const TReglages& r, const TVal& v) {
  if (auto m = std::get_if<std::string TReglages::*>(&v.membre)) return r.**m;
  if (auto m = std::get_if<std::int32_t TReglages::*>(&v.membre)) return std::to_string(r.**m);
  return r.*std::get<bool TReglages::*>(v.membre) ? "1" : "0";
}

bool EstTexte(const TVal& v) { return std::holds_alternative<std::string TReglages::*>(v.membre); }

// A value unlike the default: a text of its own (a path for open and recent), 4242, or the
// other Boolean.
std::string Distinct(const TVal& v) {
  if (v.nom == "open" || v.nom == "recent") return "/cartes/v-" + v.nom + ".kqq";
  if (EstTexte(v)) return "v-" + v.nom;
  if (std::holds_alternative<std::int32_t TReglages::*>(v.membre)) return "4242";
  return v.defaut == "1" ? "0" : "1";
}

void Fixe(TReglages& r, const TVal& v, const std::string& repr) {
  if (auto m = std::get_if<std::string TReglages::*>(&v.membre))
    r.**m = repr;
  else if (auto m = std::get_if<std::int32_t TReglages::*>(&v.membre))
    r.**m = std::stoi(repr);
  else
    r.*std::get<bool TReglages::*>(v.membre) = repr != "0";
}

using TNoms = std::set<std::string>;

const TNoms LusEditeur = {"or", "xdelim", "ignor", "foname", "fosize", "open", "openum", "recent",
                          "recnum", "opened", "minsp", "fulscr", "height", "width", "topmst",
                          "reopen", "uninst", "sign", "srcbck", "alltyp", "types", "frmats", "lstfon",
                          "lstfos", "xslfil", "xmlutf", "lfonly", "mcqor", "mcqfrm", "mcqnor",
                          "comma", "csvtyp", "csvutf", "ncwnf"};
const TNoms LusJoueur = {"or", "xdelim", "ignor", "foname", "fosize", "open", "openum", "recent",
                         "recnum", "minsp", "good", "bad", "mean", "chpref", "ctrla", "ctaltp",
                         "menu", "host", "cotout", "margin", "maxhun", "repunf", "mnfile", "mnplay"};
const TNoms LusPreferences = {"or", "xdelim", "ignor", "foname", "fosize", "minsp", "alltyp", "types",
                              "frmats", "lstfon", "lstfos", "xslfil", "xmlutf", "lfonly", "mcqor",
                              "mcqfrm", "mcqnor", "comma", "csvtyp", "csvutf", "ncwnf", "good", "bad",
                              "mean", "chpref", "ctrla", "ctaltp", "menu", "host", "cotout", "margin",
                              "maxhun", "repunf", "mnfile", "mnplay"};

// Each part with the names it reads.
const std::pair<EPartReglages, const TNoms*> PartsEtNomsLus[] = {
    {EPartReglages::Editeur, &LusEditeur}, {EPartReglages::Joueur, &LusJoueur},
    {EPartReglages::Preferences, &LusPreferences}};

TNoms Union(TNoms a, const TNoms& b) {
  a.insert(b.begin(), b.end());
  return a;
}

class Reglages_ : public DossierTemporaire {
 protected:
  void SetUp() override {
    FixeLocale("fr_FR");
    DossierTemporaire::SetUp();
    fichier = dossier + "/Orvaline.ini";
    setenv("ORVALINE_REGISTRE", fichier.c_str(), 1);
  }
  void TearDown() override {
    DossierTemporaire::TearDown();
    FixeLocale("");
  }

  // Writes raw texts into the store; nullopt deletes the value.
  void Stocke(const std::vector<std::pair<std::string, std::optional<std::string>>>& valeurs) {
    TRegistre reg;
    ASSERT_TRUE(reg.OuvreCle(Cle));
    for (const auto& [nom, valeur] : valeurs) {
      if (valeur)
        reg.EcritTexte(nom, *valeur);
      else
        reg.SupprimeValeur(nom);
    }
  }
  void StockeTout(const std::string& valeur) {
    for (const auto& v : Valeurs) Stocke({{v.nom, valeur}});
  }
  std::optional<std::string> Stocke(const std::string& nom) {
    TRegistre reg;
    if (!reg.OuvreCle(Cle, false)) return std::nullopt;
    return reg.LitTexte(nom);
  }

  const std::string& dossier = Dossier;
  std::string fichier;
};

TEST_F(Reglages_, LesDefautsDuTableau) {
  const TReglages r;
  for (const auto& v : Valeurs) EXPECT_EQ(Repr(r, v), v.defaut) << v.nom;
  EXPECT_FALSE(r.DimensionsOriginales);
}

TEST_F(Reglages_, SansCleChaquePartPrendLesDefautsEtCreeLaCle) {
  for (auto part : {EPartReglages::Editeur, EPartReglages::Joueur, EPartReglages::Preferences}) {
    fs::remove(fichier);
    TReglages r;
    LitPreferences(r, part);
    EXPECT_TRUE(fs::exists(fichier));
    for (const auto& v : Valeurs) EXPECT_EQ(Repr(r, v), v.defaut) << v.nom;
  }
}

// Faults built soundly: a store that cannot be opened still gives every default, texts included.
TEST_F(Reglages_, MagasinInaccessibleDonneTousLesDefauts) {
  fs::create_directory(fichier);  // a folder where the file should be: the key cannot be opened
  for (const auto& [part, lus] : PartsEtNomsLus) {
    SCOPED_TRACE(static_cast<int>(part));
    TReglages r;
    for (const auto& v : Valeurs)
      if (EstTexte(v)) Fixe(r, v, "sale");
    r.SeparateurCSV = '|';
    LitPreferences(r, part);
    for (const auto& v : Valeurs)
      EXPECT_EQ(Repr(r, v), lus->count(v.nom) || !EstTexte(v) ? v.defaut : "sale") << v.nom;
    if (part == EPartReglages::Editeur) {
      EXPECT_EQ(r.SeparateurCSV, ';') << "the locale's list separator";
    }
    // Writing fails silently too.
    EXPECT_NO_THROW(EcritPreferences(r, part, true));
  }
  EXPECT_NO_THROW(EcritPreferences(TReglages(), true, true));
  EXPECT_TRUE(fs::is_directory(fichier));
}

TEST_F(Reglages_, ChaquePartNeLitQueSesValeurs) {
  for (const auto& v : Valeurs) Stocke({{v.nom, Distinct(v)}});
  for (const auto& [part, lus] : PartsEtNomsLus) {
    SCOPED_TRACE(static_cast<int>(part));
    TReglages r;
    LitPreferences(r, part);
    for (const auto& v : Valeurs)
      EXPECT_EQ(Repr(r, v), lus->count(v.nom) ? Distinct(v) : v.defaut) << v.nom;
  }
}

TEST_F(Reglages_, ReglesDeLecture) {
  using TStock = std::vector<std::pair<std::string, std::optional<std::string>>>;
  const struct {
    const char* cas;
    EPartReglages part;
    TStock stock;
    std::vector<std::pair<std::string, std::string>> avant;  // variables set before reading
    std::vector<std::pair<std::string, std::string>> attendu;
  } cas[] = {
      {"texte a defaut present et vide", EPartReglages::Joueur, {{"or", ""}, {"good", ""}}, {},
       {{"or", ""}, {"good", ""}, {"xdelim", "!\"',-.:;?"}}},
      {"csvtyp vide reste vide", EPartReglages::Editeur, {{"csvtyp", ""}}, {}, {{"csvtyp", ""}}},
      {"listes vides ou absentes", EPartReglages::Editeur, {{"types", ""}, {"frmats", std::nullopt}},
       {{"types", "X"}, {"frmats", "Y"}}, {{"types", "RNLQM"}, {"frmats", "xscmt"}}},
      {"liste trop longue", EPartReglages::Preferences, {{"types", std::string(300, 'Q')}}, {},
       {{"types", std::string(255, 'Q')}}},
      {"texte sans defaut absent", EPartReglages::Editeur, {},
       {{"sign", "x"}, {"comma", "x"}, {"open", "/x"}}, {{"sign", ""}, {"comma", ""}, {"open", ""}}},
      {"open vide: openum non lu", EPartReglages::Editeur,
       {{"open", ""}, {"openum", "5"}, {"recent", "/r.kqq"}, {"recnum", "3"}}, {},
       {{"openum", "0"}, {"recnum", "3"}}},
      {"openum absent", EPartReglages::Joueur, {{"open", "/o.kqq"}, {"recent", "/r.kqq"}},
       {{"openum", "9"}, {"recnum", "8"}}, {{"openum", "0"}, {"recnum", "0"}}},
      {"openum d'un autre type", EPartReglages::Joueur, {{"open", "/o.kqq"}, {"openum", "abc"}}, {},
       {{"openum", "0"}}},
      {"entiers d'un autre type", EPartReglages::Editeur,
       {{"fosize", "abc"}, {"height", "12.5"}, {"mcqnor", ""}, {"width", "99999999999"}},
       {{"fosize", "20"}, {"height", "20"}, {"mcqnor", "20"}, {"width", "20"}},
       {{"fosize", "10"}, {"height", "367"}, {"mcqnor", "4"}, {"width", "607"}}},
      {"entiers lus", EPartReglages::Joueur, {{"cotout", "-5"}, {"margin", "7"}}, {},
       {{"cotout", "-5"}, {"margin", "7"}}},
      {"booleens", EPartReglages::Editeur,
       {{"minsp", "2"}, {"reopen", "0"}, {"alltyp", "-1"}, {"xmlutf", "oui"}, {"lfonly", "true"}},
       {}, {{"minsp", "1"}, {"reopen", "0"}, {"alltyp", "1"}, {"xmlutf", "1"}, {"lfonly", "1"}}},
      {"texte en 1252", EPartReglages::Joueur, {{"good", "Très bien !"_a}}, {},
       {{"good", "Très bien !"_a}}},
      {"mcqnor enorme", EPartReglages::Preferences, {{"mcqnor", "2147483647"}}, {},
       {{"mcqnor", "2147483647"}}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    fs::remove(fichier);
    Stocke(c.stock);
    TReglages r;
    for (const auto& [nom, valeur] : c.avant) Fixe(r, Val(nom), valeur);
    LitPreferences(r, c.part);
    for (const auto& [nom, valeur] : c.attendu) EXPECT_EQ(Repr(r, Val(nom)), valeur) << nom;
  }
}

TEST_F(Reglages_, SeparateurCSVDeLEditeur) {
  const struct {
    std::optional<std::string> comma;
    EPartReglages part;
    char separateur;
  } cas[] = {{"\\t", EPartReglages::Editeur, '\t'},
             {std::nullopt, EPartReglages::Editeur, ';'},
             {"|", EPartReglages::Editeur, '|'},
             // The preferences program keeps the text as it is.
             {"\\t", EPartReglages::Preferences, '#'}};
  for (const auto& c : cas) {
    fs::remove(fichier);
    Stocke({{"comma", c.comma}});
    TReglages r;
    r.SeparateurCSV = '#';
    LitPreferences(r, c.part);
    EXPECT_EQ(r.TexteSeparateurCSV, c.comma.value_or(""));
    EXPECT_EQ(r.SeparateurCSV, c.separateur) << c.comma.value_or("(absent)");
  }
}

const TNoms EditeurToujours = {"opened", "open", "openum", "recent", "recnum", "fulscr", "height",
                               "width", "types", "frmats"};
const TNoms EditeurPreferences = {"foname", "fosize", "topmst", "reopen", "uninst",
                                  "lstfon", "lstfos", "xmlutf", "comma", "csvutf"};
const TNoms JoueurToujours = {"opened", "open", "openum", "recent", "recnum"};
const TNoms JoueurPreferences = {"foname", "fosize", "or", "xdelim", "ignor", "good", "bad",
                                 "mean", "host", "maxhun", "repunf", "chpref", "mnfile", "mnplay"};
const TNoms GroupeJeu = {"or", "xdelim", "ignor", "good", "bad", "mean", "host", "maxhun", "repunf",
                         "chpref", "mnfile", "mnplay", "ctrla", "menu", "cotout", "margin", "ctaltp"};
const TNoms GroupeEditeur = {"types", "frmats", "foname", "fosize", "lstfon", "lstfos", "xmlutf",
                             "comma", "csvutf", "alltyp", "minsp", "xslfil", "lfonly", "mcqor",
                             "mcqfrm", "mcqnor", "csvtyp", "ncwnf"};

TEST_F(Reglages_, ChaqueEcrivainNeTouchePasPlusQueSaPart) {
  const struct {
    const char* cas;
    std::function<void(const TReglages&)> ecrit;
    bool pleinEcran, dimensionsOriginales;
    TNoms ecrits, supprimes;
  } cas[] = {
      {"editeur", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Editeur, false); },
       false, false, EditeurToujours, {}},
      {"editeur plein ecran",
       [](const TReglages& r) { EcritPreferences(r, EPartReglages::Editeur, false); }, true, false,
       [] { TNoms n = EditeurToujours; n.erase("height"); n.erase("width"); return n; }(), {}},
      {"editeur avec preferences",
       [](const TReglages& r) { EcritPreferences(r, EPartReglages::Editeur, true); }, false, false,
       Union(EditeurToujours, EditeurPreferences), {}},
      {"joueur", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Joueur, false); }, false,
       false, JoueurToujours, {}},
      {"joueur avec preferences",
       [](const TReglages& r) { EcritPreferences(r, EPartReglages::Joueur, true); }, false, false,
       Union(JoueurToujours, JoueurPreferences), {}},
      {"preferences: rien", [](const TReglages& r) { EcritPreferences(r, false, false); }, false, true,
       {}, {}},
      {"preferences: jeu", [](const TReglages& r) { EcritPreferences(r, true, false); }, false, true,
       GroupeJeu, {}},
      {"preferences: editeur", [](const TReglages& r) { EcritPreferences(r, false, true); }, false,
       false, GroupeEditeur, {}},
      {"preferences: editeur, dimensions d'origine",
       [](const TReglages& r) { EcritPreferences(r, false, true); }, false, true, GroupeEditeur,
       {"height", "width"}},
      {"preferences: les deux", [](const TReglages& r) { EcritPreferences(r, true, true); }, true,
       false, Union(GroupeJeu, GroupeEditeur), {}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    fs::remove(fichier);
    StockeTout("sentinelle");
    TReglages r;
    for (const auto& v : Valeurs) Fixe(r, v, Distinct(v));
    r.PleinEcran = c.pleinEcran;
    r.DimensionsOriginales = c.dimensionsOriginales;
    c.ecrit(r);
    for (const auto& v : Valeurs) {
      const auto stocke = Stocke(v.nom);
      if (c.supprimes.count(v.nom))
        EXPECT_EQ(stocke, std::nullopt) << v.nom;
      else
        EXPECT_EQ(stocke, c.ecrits.count(v.nom) ? Repr(r, v) : "sentinelle") << v.nom;
    }
  }
}

TEST_F(Reglages_, ValeursSupprimeesQuandVides) {
  const struct {
    const char* cas;
    std::function<void(const TReglages&)> ecrit;
    std::string nom;
    bool supprime;
  } cas[] = {
      {"editeur comma", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Editeur, true); },
       "comma", true},
      {"joueur host", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Joueur, true); },
       "host", true},
      {"joueur open", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Joueur, false); },
       "open", false},
      {"editeur types", [](const TReglages& r) { EcritPreferences(r, EPartReglages::Editeur, false); },
       "types", false},
      {"preferences host", [](const TReglages& r) { EcritPreferences(r, true, false); }, "host", true},
      {"preferences comma", [](const TReglages& r) { EcritPreferences(r, false, true); }, "comma", true},
      {"preferences xslfil", [](const TReglages& r) { EcritPreferences(r, false, true); }, "xslfil", true},
      {"preferences mcqor", [](const TReglages& r) { EcritPreferences(r, false, true); }, "mcqor", true},
      {"preferences mcqfrm", [](const TReglages& r) { EcritPreferences(r, false, true); }, "mcqfrm", true},
      {"preferences csvtyp", [](const TReglages& r) { EcritPreferences(r, false, true); }, "csvtyp", false},
      {"preferences or", [](const TReglages& r) { EcritPreferences(r, true, false); }, "or", false},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    fs::remove(fichier);
    StockeTout("sentinelle");
    TReglages r;
    Fixe(r, Val(c.nom), "");
    c.ecrit(r);
    EXPECT_EQ(Stocke(c.nom), c.supprime ? std::nullopt : std::optional<std::string>(""));
  }
  // Deleting a value that is not there is no error.
  fs::remove(fichier);
  TReglages r;
  EXPECT_NO_THROW(EcritPreferences(r, false, true));
  EXPECT_EQ(Stocke("comma"), std::nullopt);
}

TEST_F(Reglages_, AllersEtRetours) {
  // A Boolean stored as 2 is read as true and written back as 1.
  Stocke({{"opened", "2"}, {"types", std::string(300, 'L')}});
  TReglages r;
  LitPreferences(r, EPartReglages::Editeur);
  EXPECT_TRUE(r.FichierOuvertEnQuittant);
  r.FormatsUtilises = std::string(400, 'x');  // never more than 255 go back
  EcritPreferences(r, EPartReglages::Editeur, false);
  EXPECT_EQ(Stocke("opened"), "1");
  EXPECT_EQ(Stocke("types"), std::string(255, 'L'));
  EXPECT_EQ(Stocke("frmats"), std::string(255, 'x'));

  // Paths are file-system paths (UTF-8): characters outside 1252 survive the store, and the
  // file holds them as text (its 1252 view of a path 1252 can hold is the same path).
  TReglages e;
  e.FichierOuvert = "/home/anne/Ωμέγα/файл 日本.kqq";
  e.NumeroFicheOuvert = 12;
  e.FichierRecent = "/home/anne/Étude/liste.kqq";
  e.NumeroFicheRecent = 3;
  EcritPreferences(e, EPartReglages::Editeur, false);
  TReglages j;
  LitPreferences(j, EPartReglages::Joueur);
  EXPECT_EQ(j.FichierOuvert, e.FichierOuvert);
  EXPECT_EQ(j.NumeroFicheOuvert, 12);
  EXPECT_EQ(j.FichierRecent, e.FichierRecent);
  EXPECT_EQ(j.NumeroFicheRecent, 3);
  EXPECT_EQ(Stocke("recent"), "/home/anne/Étude/liste.kqq"_a);

  // 1252 texts come back as they went.
  TReglages p;
  p.MessageBon = "Très bien, élève ! « 100 % » €"_a;
  EcritPreferences(p, EPartReglages::Joueur, true);
  TReglages q;
  LitPreferences(q, EPartReglages::Preferences);
  EXPECT_EQ(q.MessageBon, p.MessageBon);
}

// The editor closed maximised keeps the last normal size; the preferences program can forget it.
TEST_F(Reglages_, TailleDeLaFenetreDeLEditeur) {
  TReglages r;
  r.LargeurFenetre = 800;
  r.HauteurFenetre = 500;
  EcritPreferences(r, EPartReglages::Editeur, false);
  r.PleinEcran = true;
  r.LargeurFenetre = 1920;
  EcritPreferences(r, EPartReglages::Editeur, false);
  TReglages lu;
  LitPreferences(lu, EPartReglages::Editeur);
  EXPECT_TRUE(lu.PleinEcran);
  EXPECT_EQ(lu.LargeurFenetre, 800);
  EXPECT_EQ(lu.HauteurFenetre, 500);
  TReglages p;
  p.DimensionsOriginales = true;
  EcritPreferences(p, false, true);
  TReglages apres;
  LitPreferences(apres, EPartReglages::Editeur);
  EXPECT_EQ(apres.LargeurFenetre, 607);
  EXPECT_EQ(apres.HauteurFenetre, 367);
}

TEST_F(Reglages_, EffacePreferencesRendTousLesDefauts) {
  TReglages r;
  for (const auto& v : Valeurs) Fixe(r, v, Distinct(v));
  EcritPreferences(r, true, true);
  EcritPreferences(r, EPartReglages::Editeur, true);
  EffacePreferences();
  EXPECT_FALSE(fs::exists(fichier));
  for (auto part : {EPartReglages::Editeur, EPartReglages::Joueur, EPartReglages::Preferences}) {
    TReglages lu;
    LitPreferences(lu, part);
    for (const auto& v : Valeurs) EXPECT_EQ(Repr(lu, v), v.defaut) << v.nom;
  }
  EXPECT_NO_THROW(EffacePreferences());
  EXPECT_NO_THROW(EffacePreferences());
}

// Faults built soundly: the preferences program learns when its OK or its Défaut did not reach the
// store, instead of ending as if it had.
TEST_F(Reglages_, EcritureEtEffacementRefusesSontSignales) {
  const bool root = geteuid() == 0;
  const struct {
    const char* cas;
    std::function<void(const std::string& dossier, const std::string& fichier)> prepare;
    bool ecrit, efface;
    bool horsRoot = false;  // permissions do not hold for root
  } cas[] = {
      {"magasin ordinaire", [](auto&, auto& f) { EcritOctets(f, "[General]\nor=et\n"); }, true, true},
      {"pas encore de fichier", [](auto&, auto&) {}, true, true},
      {"un fichier a la place du dossier",
       [](auto& d, auto&) {
         EcritOctets(d + "/fichier", "x");
         setenv("ORVALINE_REGISTRE", (d + "/fichier/Orvaline.ini").c_str(), 1);
       },
       false, true},
      {"un dossier a la place du fichier", [](auto&, auto& f) { fs::create_directory(f); }, false, false},
      {"fichier en lecture seule",
       [](auto&, auto& f) {
         EcritOctets(f, "[General]\nor=et\n");
         fs::permissions(f, fs::perms::owner_read);
       },
       false, true, true},
      {"dossier en lecture seule",
       [](auto& d, auto& f) {
         EcritOctets(f, "[General]\nor=et\n");
         fs::permissions(d, fs::perms::owner_read | fs::perms::owner_exec);
       },
       false, false, true},
  };
  TReglages r;
  r.HoteFeuilleNotes = "salle-2";
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    if (c.horsRoot && root) continue;
    const std::string d = dossier + "/" + std::to_string(&c - cas);
    const std::string f = d + "/Orvaline.ini";
    fs::create_directory(d);
    setenv("ORVALINE_REGISTRE", f.c_str(), 1);
    c.prepare(d, f);
    auto contenu = [&f] { return fs::is_regular_file(f) ? LitOctets(f) : std::string(); };
    const std::string avant = contenu();
    EXPECT_TRUE(EcritPreferences(r, false, false)) << "nothing to write";
    EXPECT_EQ(EcritPreferences(r, true, false), c.ecrit);
    EXPECT_EQ(EcritPreferences(r, false, true), c.ecrit);
    if (!c.ecrit) {
      EXPECT_EQ(contenu(), avant);
    }
    EXPECT_EQ(EffacePreferences(), c.efface);
    EXPECT_TRUE(c.efface || TRegistre::CleExiste(Cle));
    fs::permissions(d, fs::perms::owner_all);
    if (fs::is_regular_file(f)) fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write);
  }
  // A disk that fills up: the store refuses the write, even for root.
  setenv("ORVALINE_REGISTRE", fichier.c_str(), 1);
  EcritOctets(fichier, "[General]\nor=et\n");
  {
    LimiteTailleFichiers limite(20);
    EXPECT_FALSE(EcritPreferences(r, true, true));
  }
  EXPECT_EQ(LitOctets(fichier), "[General]\nor=et\n");
  EXPECT_TRUE(EcritPreferences(r, true, true));
  EXPECT_EQ(Stocke("host"), "salle-2");
}

TEST_F(Reglages_, LesReglagesDuProgrammeSontUniques) {
  TReglages& r = Reglages();
  EXPECT_EQ(&r, &Reglages());
  const std::string avant = r.Conjonction;
  r.Conjonction = "voire";
  EXPECT_EQ(TFichierX('Q', 'n', EVarianteModele::Complet, r).FOuVisible, "voire") << "new card files take the program's settings";
  r.Conjonction = avant;
}

}  // namespace
