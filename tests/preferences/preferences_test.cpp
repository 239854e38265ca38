// The preferences program's logic without a window: what is shown, which group each change marks,
// the type list and its boxes kept in step, what OK writes to the settings file (and what the
// editor and the player then read), Défaut, and the failures of the store told to the user.
// The view of the tests behaves as Qt's controls do: a change made by the program fires the
// control's change handler just as a change made by the user.
#include "preferences/KorPreferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/Registre.h"
#include "tests/Outils.h"

namespace fs = std::filesystem;

namespace {

const std::string Cle = "Software\\Orvaline";

class TVueTest : public IVuePreferences {
 public:
  TPreferences* Logique = nullptr;

  std::map<ETexte, std::string> Textes;
  std::map<ECase, bool> Coches;
  std::map<ECase, bool> Actives;
  std::map<EChoix, int> Indices;
  std::map<EApercu, std::pair<std::string, int>> Polices;
  std::optional<bool> OngletsJeu;
  bool FocusOK = false;
  bool Fermee = false;
  std::vector<std::string> Erreurs;
  std::vector<std::string> Confirmations;
  bool ReponseConfirmation = true;
  // The font dialog: nullopt = cancelled.
  std::optional<std::pair<std::string, int>> ChoixPolice;
  std::pair<std::string, int> PoliceProposee;
  int Profondeur = 0;
  int ProfondeurMax = 0;
  int Changements = 0;

  // The user's own actions.
  void Tape(ETexte controle, const std::string& texte) { FixeTexte(controle, texte); }
  void TapeLettreALettre(ETexte controle, const std::string& texte) {
    std::string saisi = Textes[controle];
    for (char c : texte) FixeTexte(controle, saisi += c);
  }
  void Clique(ECase controle) { FixeCoche(controle, !Coches[controle]); }
  void Choisit(EChoix controle, int indice) { FixeIndice(controle, indice); }

  std::string Texte(ETexte controle) const override {
    const auto i = Textes.find(controle);
    return i == Textes.end() ? std::string() : i->second;
  }
  void FixeTexte(ETexte controle, const std::string& texte) override {
    if (Textes[controle] == texte) return;
    Textes[controle] = texte;
    Signale([&] {
      switch (controle) {
        case ETexte::Egood: case ETexte::Ebad: case ETexte::EMean: case ETexte::Eignor:
        case ETexte::EConj: case ETexte::EPonct: case ETexte::EHost:
          Logique->ModifieJeu();
          break;
        case ETexte::EListeTypes:
          Logique->EListeTypesChange();
          break;
        case ETexte::LComma:
          break;
        default:
          Logique->ModifieEditeur();
      }
    });
  }
  bool Coche(ECase controle) const override {
    const auto i = Coches.find(controle);
    return i != Coches.end() && i->second;
  }
  void FixeCoche(ECase controle, bool coche) override {
    if (Coches[controle] == coche) return;
    Coches[controle] = coche;
    Signale([&] {
      switch (controle) {
        case ECase::CBMenu:
          Logique->CBMenuClick();
          break;
        case ECase::CBPref: case ECase::CBCtrlAltP: case ECase::CBCtrlA: case ECase::CBMaxHun:
        case ECase::CBRepUnf:
          Logique->ModifieJeu();
          break;
        case ECase::CBNouvFiche: case ECase::CBDimOrig: case ECase::CBTypeUnique: case ECase::CBTexte:
          Logique->ModifieEditeur();
          break;
        default:
          Logique->CBTypeClick(controle);
      }
    });
  }
  void ActiveCase(ECase controle, bool active) override { Actives[controle] = active; }
  int Indice(EChoix controle) const override {
    const auto i = Indices.find(controle);
    return i == Indices.end() ? -1 : i->second;
  }
  void FixeIndice(EChoix controle, int indice) override {
    if (Indice(controle) == indice) return;
    Indices[controle] = indice;
    Signale([&] { Logique->ModifieEditeur(); });
  }
  void AffichePolice(EApercu apercu, const std::string& nom, int taille) override {
    Polices[apercu] = {nom, taille};
  }
  bool DialoguePolice(std::string& nom, int& taille) override {
    PoliceProposee = {nom, taille};
    if (!ChoixPolice) return false;
    nom = ChoixPolice->first;
    taille = ChoixPolice->second;
    return true;
  }
  void AfficheOnglets(bool modeJeu) override { OngletsJeu = modeJeu; }
  void DonneFocusOK() override { FocusOK = true; }
  void MessageErreur(const std::string& texte) override { Erreurs.push_back(texte); }
  bool Confirme(const std::string& texte) override {
    Confirmations.push_back(texte);
    return ReponseConfirmation;
  }
  void Ferme() override { Fermee = true; }

 private:
  template <class F>
  void Signale(F&& gestionnaire) {
    ++Changements;
    ++Profondeur;
    ProfondeurMax = std::max(ProfondeurMax, Profondeur);
    // A chain of handlers that calls itself back without end fails here rather than overflowing.
    if (Profondeur < 50) gestionnaire();
    --Profondeur;
  }
};

using TNoms = std::set<std::string>;
const TNoms GroupeJeu = {"or", "xdelim", "ignor", "good", "bad", "mean", "host", "maxhun", "repunf",
                         "chpref", "mnfile", "mnplay", "ctrla", "menu", "cotout", "margin", "ctaltp"};
const TNoms GroupeEditeur = {"types", "frmats", "foname", "fosize", "lstfon", "lstfos", "xmlutf",
                             "comma", "csvutf", "alltyp", "minsp", "xslfil", "lfonly", "mcqor",
                             "mcqfrm", "mcqnor", "csvtyp", "ncwnf"};

class Preferences : public DossierTemporaire {
 protected:
  void SetUp() override {
    FixeLocale("fr_FR");
    DossierTemporaire::SetUp();
    Fichier = Chemin("Orvaline.ini");
    setenv("ORVALINE_REGISTRE", Fichier.c_str(), 1);
  }
  void TearDown() override {
    DossierTemporaire::TearDown();
    FixeLocale("");
  }

  // The program's start: its share read from the file, then the window shown.
  void Demarre() {
    LitPreferences(Reglages, EPartReglages::Preferences);
    Logique = std::make_unique<TPreferences>(Vue, Reglages);
    Vue.Logique = Logique.get();
    Logique->FormShow();
  }

  void Stocke(const std::vector<std::pair<std::string, std::string>>& valeurs) {
    TRegistre reg;
    ASSERT_TRUE(reg.OuvreCle(Cle));
    for (const auto& [nom, valeur] : valeurs) reg.EcritTexte(nom, valeur);
  }
  std::optional<std::string> Stocke(const std::string& nom) {
    TRegistre reg;
    if (!reg.OuvreCle(Cle, false)) return std::nullopt;
    return reg.LitTexte(nom);
  }
  // The names of the values the file holds.
  TNoms NomsStockes() {
    TNoms noms;
    for (const auto& nom : GroupeJeu)
      if (Stocke(nom)) noms.insert(nom);
    for (const auto& nom : GroupeEditeur)
      if (Stocke(nom)) noms.insert(nom);
    for (const char* nom : {"height", "width", "open", "sign"})
      if (Stocke(nom)) noms.insert(nom);
    return noms;
  }

  std::string Fichier;
  TReglages Reglages;
  TVueTest Vue;
  std::unique_ptr<TPreferences> Logique;
};

TEST(FonctionsDuModule, FiltresEtLettres) {
  EXPECT_EQ(SansEspaces(" o u "), "ou");
  EXPECT_EQ(SansEspaces("a\tb"), "a\tb") << "only the space character goes";
  EXPECT_EQ(FiltreCaracteres("QNrx\xC9Z", EstMajuscule), "QNZ");
  EXPECT_EQ(FiltreCaracteres("", EstMajuscule), "");

  const struct {
    char lettre;
    bool present;
    std::string avant;
    std::size_t limite;
    std::string apres;
  } cas[] = {
      {'t', true, "xscm", 255, "xscmt"},   {'t', true, "xtsc", 255, "xtsc"},
      {'t', false, "xtsct", 255, "xsct"},  {'t', false, "xsc", 255, "xsc"},
      {'R', true, "ABC", 3, "ABC"},        {'R', true, "AB", 3, "ABR"},
      {'Q', false, "Q", 255, ""},
  };
  for (const auto& c : cas) {
    std::string liste = c.avant;
    BasculeLettre(c.lettre, c.present, liste, c.limite);
    EXPECT_EQ(liste, c.apres) << c.lettre << " " << c.present << " " << c.avant;
  }
}

TEST(FonctionsDuModule, NomDuSeparateurDeListe) {
  FixeLocale("fr_FR");
  EXPECT_EQ(NomSeparateurListe(), "point-virgule");
  FixeLocale("en_US");
  EXPECT_EQ(NomSeparateurListe(), "virgule");
  FixeLocale("");
}

// Fault built soundly: a number of separators that no 32-bit integer holds, or a negative one,
// becomes 0 like any other text that is not a number.
TEST(FonctionsDuModule, NombreDeSeparateurs) {
  const std::pair<const char*, std::int32_t> cas[] = {
      {"4", 4}, {"012", 12}, {" 7 ", 7}, {"+3", 3}, {"0", 0}, {"2147483647", 2147483647},
      {"", 0}, {"abc", 0}, {"12abc", 0}, {"1 2", 0}, {"0x10", 0}, {"$10", 0}, {"+", 0}, {"-", 0},
      {"2147483648", 0}, {"99999999999999999999", 0}, {"-5", 0}, {"-2147483648", 0}, {"-0", 0},
      {"3.5", 0}, {"\xB2", 0}};
  for (const auto& [texte, nombre] : cas) EXPECT_EQ(NombreSaisi(texte), nombre) << texte;
}

TEST_F(Preferences, LaFenetreMontreLesReglagesSansRienMarquer) {
  Stocke({{"good", "Très bien !"_a}, {"or", "et"}, {"host", "salle-3"}, {"menu", "0"}, {"ctrla", "1"},
          {"chpref", "0"}, {"types", "RNLQM"}, {"frmats", "xscm"}, {"xmlutf", "0"}, {"lfonly", "1"},
          {"mcqnor", "6"}, {"comma", "\\t"}, {"csvtyp", "LQ"}, {"csvutf", "1"}, {"alltyp", "0"},
          {"xslfil", "style.xsl"}, {"foname", "DejaVu Sans"}, {"fosize", "11"}});
  Demarre();
  EXPECT_EQ(Vue.Textes[ETexte::Egood], "Très bien !"_a);
  EXPECT_EQ(Vue.Textes[ETexte::EConj], "et");
  EXPECT_EQ(Vue.Textes[ETexte::EPonct], "!\"',-.:;?");
  EXPECT_EQ(Vue.Textes[ETexte::EHost], "salle-3");
  EXPECT_EQ(Vue.Textes[ETexte::EListeTypes], "RNLQM");
  EXPECT_EQ(Vue.Textes[ETexte::EXslFil], "style.xsl");
  EXPECT_EQ(Vue.Textes[ETexte::EMcqFra], "6");
  EXPECT_EQ(Vue.Textes[ETexte::EComma], "\\t");
  EXPECT_EQ(Vue.Textes[ETexte::ECsvTyp], "LQ");
  EXPECT_EQ(Vue.Textes[ETexte::LComma], "Laisser blanc pour point-virgule\n\\t pour tabulation, \\s pour espace");
  EXPECT_FALSE(Vue.Coches[ECase::CBMenu]);
  EXPECT_TRUE(Vue.Coches[ECase::CBTypeUnique]);
  EXPECT_FALSE(Vue.Coches[ECase::CBTexte]);
  EXPECT_FALSE(Vue.Coches[ECase::CBDimOrig]);
  EXPECT_EQ(Vue.Indices[EChoix::RGXmlUtf], 0);
  EXPECT_EQ(Vue.Indices[EChoix::RGRetour], 1);
  EXPECT_EQ(Vue.Indices[EChoix::RGCsvUtf], 1);
  EXPECT_EQ(Vue.Indices[EChoix::CBMcqFormat], 0);
  EXPECT_EQ(Vue.Polices[EApercu::EPolice], (std::pair<std::string, int>{"DejaVu Sans", 11}));
  EXPECT_EQ(Vue.Polices[EApercu::EPoliceL], (std::pair<std::string, int>{"MS Reference Sans Serif", 12}));
  EXPECT_TRUE(Vue.FocusOK);
  // Without the menu bar the three Menus boxes are greyed and keep their marks.
  for (ECase c : {ECase::CBCtrlA, ECase::CBPref, ECase::CBCtrlAltP}) EXPECT_FALSE(Vue.Actives[c]);
  EXPECT_TRUE(Vue.Coches[ECase::CBCtrlA]);
  EXPECT_FALSE(Vue.Coches[ECase::CBPref]);
  // Every control changed on the way, and none of it counts.
  EXPECT_GT(Vue.Changements, 20);
  EXPECT_FALSE(Logique->JeuModifie());
  EXPECT_FALSE(Logique->EditeurModifie());
  const std::string avant = LitOctets(Fichier);
  Logique->BOKClick();
  EXPECT_TRUE(Vue.Fermee);
  EXPECT_EQ(LitOctets(Fichier), avant) << "OK without a change writes nothing";
}

TEST_F(Preferences, FormatMoodleChoisi) {
  const std::pair<const char*, int> cas[] = {
      {"", 0}, {"html", 1}, {"moodle_auto_format", 2}, {"plain_text", 3}, {"markdown", 4}, {"HTML", -1},
      {"autre", -1}};
  for (const auto& [format, indice] : cas) {
    Stocke({{"mcqfrm", format}});
    Demarre();
    EXPECT_EQ(Vue.Indices[EChoix::CBMcqFormat], indice) << format;
  }
}

TEST_F(Preferences, GroupeAffichePuisCtrlB) {
  const std::pair<const char*, bool> ouverture[] = {{"QRN", true}, {"RNLQM", false}, {"qRN", false}};
  for (const auto& [types, jeu] : ouverture) {
    Stocke({{"types", types}});
    Demarre();
    EXPECT_EQ(Logique->ModeJeu(), jeu) << types;
    EXPECT_EQ(Vue.OngletsJeu, jeu) << types;
  }
  // Ctrl+B alone switches; with another modifier, or another key, nothing happens.
  const struct {
    int touche;
    unsigned modificateurs;
    bool bascule;
  } touches[] = {
      {'B', EModificateur::Ctrl, true},
      {'B', EModificateur::Ctrl | EModificateur::Maj, false},
      {'B', EModificateur::Ctrl | EModificateur::Alt, false},
      {'B', EModificateur::Ctrl | EModificateur::Meta, false},
      {'B', 0, false},
      {'N', EModificateur::Ctrl, false},
  };
  for (const auto& t : touches) {
    const bool avant = Logique->ModeJeu();
    Vue.OngletsJeu.reset();
    Logique->FormKeyDown(t.touche, t.modificateurs);
    EXPECT_EQ(Logique->ModeJeu(), t.bascule ? !avant : avant) << t.touche << " " << t.modificateurs;
    EXPECT_EQ(Vue.OngletsJeu.has_value(), t.bascule);
  }
  EXPECT_FALSE(Logique->JeuModifie());
  EXPECT_FALSE(Logique->EditeurModifie());
}

TEST_F(Preferences, ChaqueControleMarqueSonGroupe) {
  struct Cas {
    const char* nom;
    std::function<void(TVueTest&)> action;
    bool jeu, editeur;
  };
  const Cas cas[] = {
      {"Egood", [](TVueTest& v) { v.Tape(ETexte::Egood, "Bravo"); }, true, false},
      {"EHost", [](TVueTest& v) { v.Tape(ETexte::EHost, "salle"); }, true, false},
      {"CBMenu", [](TVueTest& v) { v.Clique(ECase::CBMenu); }, true, false},
      {"CBCtrlA", [](TVueTest& v) { v.Clique(ECase::CBCtrlA); }, true, false},
      {"CBRepUnf", [](TVueTest& v) { v.Clique(ECase::CBRepUnf); }, true, false},
      {"CBDimOrig", [](TVueTest& v) { v.Clique(ECase::CBDimOrig); }, false, true},
      {"CBTexte", [](TVueTest& v) { v.Clique(ECase::CBTexte); }, false, true},
      {"CBQCM", [](TVueTest& v) { v.Clique(ECase::CBQCM); }, false, true},
      {"EListeTypes", [](TVueTest& v) { v.Tape(ETexte::EListeTypes, "Q"); }, false, true},
      {"RGRetour", [](TVueTest& v) { v.Choisit(EChoix::RGRetour, 0); }, false, true},
      {"CBMcqFormat", [](TVueTest& v) { v.Choisit(EChoix::CBMcqFormat, 2); }, false, true},
      {"EComma", [](TVueTest& v) { v.Tape(ETexte::EComma, "|"); }, false, true},
      {"police choisie", [](TVueTest& v) { v.ChoixPolice = {{"DejaVu Serif", 14}}; v.Logique->BPoliceClick(); },
       false, true},
      {"police abandonnee", [](TVueTest& v) { v.ChoixPolice.reset(); v.Logique->BPoliceLClick(); }, false, false},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nom);
    Vue = TVueTest();
    Demarre();
    c.action(Vue);
    EXPECT_EQ(Logique->JeuModifie(), c.jeu);
    EXPECT_EQ(Logique->EditeurModifie(), c.editeur);
  }
}

TEST_F(Preferences, LaBarreDeMenuGriseLesTroisAutresCases) {
  Demarre();
  for (ECase c : {ECase::CBCtrlA, ECase::CBPref, ECase::CBCtrlAltP}) EXPECT_TRUE(Vue.Actives[c]);
  Vue.Clique(ECase::CBMenu);
  for (ECase c : {ECase::CBCtrlA, ECase::CBPref, ECase::CBCtrlAltP}) {
    EXPECT_FALSE(Vue.Actives[c]);
    EXPECT_TRUE(Vue.Coches[c]) << "the marks are kept";
  }
  Logique->BOKClick();
  TReglages joueur;
  LitPreferences(joueur, EPartReglages::Joueur);
  EXPECT_FALSE(joueur.BarreMenu);
  EXPECT_TRUE(joueur.CtrlAAccepte);
  EXPECT_TRUE(joueur.MenuPreferencesVisible);
  EXPECT_TRUE(joueur.CtrlAltPBascule);
}

TEST_F(Preferences, LesTypesEtLeursCasesRestentEnAccord) {
  const struct {
    const char* cas;
    std::string stocke;
    std::function<void(TVueTest&)> action;
    std::string types;     // the list in the settings afterwards
    std::string coches;    // letters of the checked boxes, in the order R N F Q M L
    std::string inactives; // letters of the disabled boxes
    std::string ok;        // the list that OK stores
  } cas[] = {
      {"QNrx tape", "RNLQM", [](TVueTest& v) { v.Tape(ETexte::EListeTypes, ""); v.TapeLettreALettre(ETexte::EListeTypes, "QNrx"); },
       "QNrx", "NQ", "", "QN"},
      {"un seul type R", "R", [](TVueTest&) {}, "R", "R", "R", "R"},
      {"case cochee: lettre a la fin", "RN", [](TVueTest& v) { v.Clique(ECase::CBQCM); }, "RNM", "RNM", "", "RNM"},
      {"case decochee: premiere occurrence", "QRQ", [](TVueTest& v) { v.Clique(ECase::CBQuestionnaire); },
       "RQ", "RQ", "", "RQ"},
      {"jusqu'au dernier type", "RN", [](TVueTest& v) { v.Clique(ECase::CBRepertoire); }, "N", "N", "N", "N"},
      {"un type et un autre caractere", "R", [](TVueTest& v) { v.TapeLettreALettre(ETexte::EListeTypes, "x"); },
       "Rx", "R", "", "R"},
      {"liste videe", "RNLQM", [](TVueTest& v) { v.Tape(ETexte::EListeTypes, ""); }, "", "", "", ""},
      {"liste trop longue", "R", [](TVueTest& v) { v.Tape(ETexte::EListeTypes, std::string(300, 'Q')); },
       std::string(255, 'Q'), "Q", "", std::string(255, 'Q')},
      {"liste pleine: la case ne prend pas", std::string(255, 'Q'), [](TVueTest& v) { v.Clique(ECase::CBListes); },
       std::string(255, 'Q'), "Q", "", std::string(255, 'Q')},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    Vue = TVueTest();
    Stocke({{"types", c.stocke}});
    Demarre();
    c.action(Vue);
    EXPECT_EQ(Reglages.TypesUtilises, c.types);
    EXPECT_EQ(Vue.Textes[ETexte::EListeTypes], c.types);
    std::string coches, inactives;
    for (const auto& t : CasesTypes) {
      if (Vue.Coches[t.Case]) coches += t.Lettre;
      if (!Vue.Actives[t.Case]) inactives += t.Lettre;
    }
    EXPECT_EQ(coches, [&] { std::string s; for (char l : std::string("RNFQML")) if (c.coches.find(l) != std::string::npos) s += l; return s; }());
    EXPECT_EQ(inactives, c.inactives);
    EXPECT_LT(Vue.ProfondeurMax, 6) << "the edit and the boxes stop calling each other";
    Logique->BOKClick();
    EXPECT_EQ(Stocke("types"), c.ok);
  }
}

// Whatever is typed, the edit and the boxes settle.
TEST_F(Preferences, LaChaineDesTypesSArreteToujours) {
  Demarre();
  std::uint32_t graine = 12345;
  auto hasard = [&graine] { return (graine = graine * 1103515245u + 12345u) >> 16; };
  const std::string lettres = "RNFQMLrnqxZ  \xC9";
  for (int i = 0; i < 500; ++i) {
    if (hasard() % 3 == 0) {
      Vue.Clique(CasesTypes[hasard() % 6].Case);
    } else {
      std::string texte;
      const auto n = hasard() % 8;
      for (unsigned k = 0; k < n; ++k) texte += lettres[hasard() % lettres.size()];
      Vue.Tape(ETexte::EListeTypes, texte);
    }
    ASSERT_LT(Vue.ProfondeurMax, 6);
    ASSERT_EQ(Vue.Textes[ETexte::EListeTypes], Reglages.TypesUtilises);
    for (const auto& t : CasesTypes)
      ASSERT_EQ(Vue.Coches[t.Case], Reglages.TypesUtilises.find(t.Lettre) != std::string::npos) << t.Lettre;
  }
}

TEST_F(Preferences, CeQueOKEcrit) {
  struct Cas {
    const char* cas;
    std::vector<std::pair<std::string, std::string>> stocke;
    std::function<void(TVueTest&)> action;
    std::map<std::string, std::optional<std::string>> attendu;  // nullopt: the value is deleted
  };
  const Cas cas[] = {
      {"EHost d'espaces", {{"host", "x"}}, [](TVueTest& v) { v.Tape(ETexte::EHost, "   "); }, {{"host", "   "}}},
      {"EHost vide", {{"host", "x"}}, [](TVueTest& v) { v.Tape(ETexte::EHost, ""); }, {{"host", std::nullopt}}},
      {"EConj", {}, [](TVueTest& v) { v.Tape(ETexte::EConj, "o u"); }, {{"or", "ou"}}},
      {"EPonct", {}, [](TVueTest& v) { v.Tape(ETexte::EPonct, " ; , "); }, {{"xdelim", ";,"}}},
      {"messages tels quels", {}, [](TVueTest& v) { v.Tape(ETexte::Egood, " Bravo ! "); v.Tape(ETexte::Eignor, "le la"); },
       {{"good", " Bravo ! "}, {"ignor", "le la"}}},
      {"defaut du format", {{"mcqfrm", "html"}}, [](TVueTest& v) { v.Choisit(EChoix::CBMcqFormat, 0); },
       {{"mcqfrm", std::nullopt}}},
      {"format inconnu", {{"mcqfrm", "autre"}}, [](TVueTest& v) { v.Tape(ETexte::EComma, ";"); },
       {{"mcqfrm", std::nullopt}, {"comma", ";"}}},
      {"markdown", {}, [](TVueTest& v) { v.Choisit(EChoix::CBMcqFormat, 4); }, {{"mcqfrm", "markdown"}}},
      {"mcqnor", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqFra, " 12 "); }, {{"mcqnor", "12"}}},
      {"mcqnor negatif", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqFra, "-3"); }, {{"mcqnor", "0"}}},
      {"mcqnor trop grand", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqFra, "99999999999"); }, {{"mcqnor", "0"}}},
      {"mcqnor pas un nombre", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqFra, "quatre"); }, {{"mcqnor", "0"}}},
      {"EMcqOr", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqOr, " = = "); }, {{"mcqor", "=="}}},
      {"EMcqOr vide", {}, [](TVueTest& v) { v.Tape(ETexte::EMcqOr, "  "); }, {{"mcqor", std::nullopt}}},
      {"EXslFil et EComma rognes", {}, [](TVueTest& v) { v.Tape(ETexte::EXslFil, " \tstyle.xsl \r\n"); v.Tape(ETexte::EComma, " \\t "); },
       {{"xslfil", "style.xsl"}, {"comma", "\\t"}}},
      {"EXslFil blanc", {{"xslfil", "a.xsl"}}, [](TVueTest& v) { v.Tape(ETexte::EXslFil, "  "); }, {{"xslfil", std::nullopt}}},
      {"ECsvTyp vide", {}, [](TVueTest& v) { v.Tape(ETexte::ECsvTyp, ""); }, {{"csvtyp", ""}}},
      {"ECsvTyp filtre", {}, [](TVueTest& v) { v.Tape(ETexte::ECsvTyp, "L q,Q"); }, {{"csvtyp", "LQ"}}},
      {"CBTexte decoche", {{"frmats", "xtsc"}}, [](TVueTest& v) { v.Clique(ECase::CBTexte); }, {{"frmats", "xsc"}}},
      {"CBTexte coche", {{"frmats", "xs"}}, [](TVueTest& v) { v.Clique(ECase::CBTexte); }, {{"frmats", "xst"}}},
      {"radios et cases", {}, [](TVueTest& v) {
         v.Choisit(EChoix::RGXmlUtf, 0); v.Choisit(EChoix::RGRetour, 0); v.Choisit(EChoix::RGCsvUtf, 1);
         v.Clique(ECase::CBTypeUnique); v.Clique(ECase::CBNouvFiche); },
       {{"xmlutf", "0"}, {"lfonly", "0"}, {"csvutf", "1"}, {"alltyp", "0"}, {"ncwnf", "1"}}},
      {"sans controle: relus et reecrits", {{"minsp", "1"}, {"cotout", "500"}, {"margin", "9"}, {"mnfile", "1"}, {"mnplay", "0"}},
       [](TVueTest& v) { v.Clique(ECase::CBMaxHun); v.Clique(ECase::CBMaxHun); v.Clique(ECase::CBNouvFiche); v.Clique(ECase::CBNouvFiche); },
       {{"minsp", "1"}, {"cotout", "500"}, {"margin", "9"}, {"mnfile", "1"}, {"mnplay", "0"}, {"maxhun", "1"}}},
      {"police", {}, [](TVueTest& v) { v.ChoixPolice = {{"DejaVu Serif", 14}}; v.Logique->BPoliceLClick(); },
       {{"lstfon", "DejaVu Serif"}, {"lstfos", "14"}, {"foname", "Lucida Sans Typewriter"}}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    fs::remove(Fichier);
    Vue = TVueTest();
    Reglages = TReglages();
    Stocke(c.stocke);
    Demarre();
    c.action(Vue);
    Logique->BOKClick();
    EXPECT_TRUE(Vue.Fermee);
    EXPECT_TRUE(Vue.Erreurs.empty());
    for (const auto& [nom, valeur] : c.attendu) EXPECT_EQ(Stocke(nom), valeur) << nom;
  }
}

TEST_F(Preferences, UnGroupeModifieEstEcritEnEntier) {
  const struct {
    const char* cas;
    std::function<void(TVueTest&)> action;
    TNoms ecrits;
    bool dimensionsEffacees;
  } cas[] = {
      // Changed and changed back: the whole group, with the values shown.
      {"jeu: change puis remis", [](TVueTest& v) { v.Tape(ETexte::Egood, "x"); v.Tape(ETexte::Egood, "Félicitations !"_a); },
       GroupeJeu, false},
      {"editeur: CBDimOrig seule", [](TVueTest& v) { v.Clique(ECase::CBDimOrig); }, GroupeEditeur, true},
      {"editeur sans CBDimOrig", [](TVueTest& v) { v.Clique(ECase::CBNouvFiche); }, GroupeEditeur, false},
      {"les deux, Ctrl+B entre", [](TVueTest& v) {
         v.Tape(ETexte::EMean, "Bien.");
         v.Logique->FormKeyDown('B', EModificateur::Ctrl);
         v.Tape(ETexte::EMcqOr, "##"); },
       [] { TNoms n = GroupeJeu; n.insert(GroupeEditeur.begin(), GroupeEditeur.end()); return n; }(), false},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.cas);
    fs::remove(Fichier);
    Vue = TVueTest();
    Reglages = TReglages();
    Stocke({{"height", "500"}, {"width", "800"}, {"open", "/cartes/a.kqq"}, {"sign", "M. Dupont"}});
    Demarre();
    c.action(Vue);
    Logique->BOKClick();
    TNoms attendus = c.ecrits;
    attendus.insert({"open", "sign"});
    if (!c.dimensionsEffacees) attendus.insert({"height", "width"});
    // Empty by default, and deleted rather than written empty.
    for (const char* vide : {"host", "comma", "xslfil", "mcqfrm"}) attendus.erase(vide);
    EXPECT_EQ(NomsStockes(), attendus);
  }
}

// What KorPrefer writes is what the editor and the player read at their next start.
TEST_F(Preferences, LEditeurEtLeJoueurLisentCeQueKorPreferAEcrit) {
  Demarre();
  Vue.Tape(ETexte::Egood, "Excellent !");
  Vue.Tape(ETexte::EConj, "o r");
  Vue.Tape(ETexte::EHost, "salle-info");
  Vue.Clique(ECase::CBMenu);
  Vue.Clique(ECase::CBPref);
  Vue.Clique(ECase::CBRepUnf);
  Vue.Tape(ETexte::EListeTypes, "QL");
  Vue.Clique(ECase::CBTexte);
  Vue.Tape(ETexte::EComma, "\\t");
  Vue.Tape(ETexte::EMcqFra, "6");
  Vue.Choisit(EChoix::RGXmlUtf, 0);
  Vue.ChoixPolice = {{"DejaVu Sans Mono", 13}};
  Logique->BPoliceClick();
  Logique->BOKClick();
  ASSERT_TRUE(Vue.Fermee);

  TReglages joueur;
  LitPreferences(joueur, EPartReglages::Joueur);
  EXPECT_EQ(joueur.MessageBon, "Excellent !");
  EXPECT_EQ(joueur.Conjonction, "or");
  EXPECT_EQ(joueur.HoteFeuilleNotes, "salle-info");
  EXPECT_FALSE(joueur.BarreMenu);
  EXPECT_FALSE(joueur.MenuPreferencesVisible);
  EXPECT_TRUE(joueur.RapporteInterrompues);
  EXPECT_EQ(joueur.PoliceChamps, "DejaVu Sans Mono");
  EXPECT_EQ(joueur.TaillePoliceChamps, 13);

  TReglages editeur;
  LitPreferences(editeur, EPartReglages::Editeur);
  EXPECT_EQ(editeur.TypesUtilises, "QL");
  EXPECT_EQ(editeur.FormatsUtilises, "xscm");
  EXPECT_EQ(editeur.TexteSeparateurCSV, "\\t");
  EXPECT_EQ(editeur.SeparateurCSV, '\t');
  EXPECT_EQ(editeur.NombreSeparateursQCM, 6);
  EXPECT_FALSE(editeur.XMLUtf8);
  EXPECT_EQ(editeur.PoliceChamps, "DejaVu Sans Mono");
  EXPECT_EQ(editeur.Conjonction, "or");
}

TEST_F(Preferences, Defaut) {
  Stocke({{"open", "/cartes/a.kqq"}, {"sign", "M. Dupont"}, {"good", "Bien"}});
  Demarre();
  Vue.Tape(ETexte::Egood, "Autre");
  // Answered Annuler: nothing is deleted, the window stays as it was.
  Vue.ReponseConfirmation = false;
  Logique->BDefautClick();
  ASSERT_EQ(Vue.Confirmations.size(), 1u);
  EXPECT_EQ(Vue.Confirmations[0], "Voulez-vous effacer toutes les préférences\net donc revenir aux valeurs par défaut ?"_a);
  EXPECT_FALSE(Vue.Fermee);
  EXPECT_EQ(Stocke("open"), "/cartes/a.kqq");
  EXPECT_EQ(Vue.Textes[ETexte::Egood], "Autre");
  EXPECT_TRUE(Logique->JeuModifie());
  // Answered OK: every value goes, those the window does not show included.
  Vue.ReponseConfirmation = true;
  Logique->BDefautClick();
  EXPECT_TRUE(Vue.Fermee);
  EXPECT_TRUE(Vue.Erreurs.empty());
  EXPECT_FALSE(fs::exists(Fichier));
  TReglages editeur;
  LitPreferences(editeur, EPartReglages::Editeur);
  EXPECT_EQ(editeur.FichierOuvert, "");
  EXPECT_EQ(editeur.MessageBon, TReglages().MessageBon);
}

// Fault built soundly: when the settings file cannot be written, OK says so and the window stays
// open with everything typed; likewise Défaut when the file cannot be deleted.
TEST_F(Preferences, UnMagasinQuiRefuseEstSignale) {
  Stocke({{"host", "avant"}, {"types", "RN"}});
  Demarre();
  Vue.Tape(ETexte::EHost, "apres");
  Vue.Clique(ECase::CBQCM);
  const std::string avant = LitOctets(Fichier);
  {
    LimiteTailleFichiers limite(avant.size());  // the disk is full
    Logique->BOKClick();
  }
  EXPECT_FALSE(Vue.Fermee);
  ASSERT_EQ(Vue.Erreurs.size(), 1u);
  EXPECT_NE(Vue.Erreurs[0].find("n'ont pas pu être enregistrées"_a), std::string::npos) << Vue.Erreurs[0];
  EXPECT_NE(Vue.Erreurs[0].find(Fichier), std::string::npos) << "the file is named";
  EXPECT_EQ(LitOctets(Fichier), avant);
  EXPECT_EQ(Reglages.HoteFeuilleNotes, "avant") << "the settings stay as they were";
  EXPECT_EQ(Vue.Textes[ETexte::EHost], "apres") << "nothing typed is lost";
  EXPECT_TRUE(Logique->JeuModifie());
  EXPECT_TRUE(Logique->EditeurModifie());

  // A second OK once the disk has room: everything is written.
  Logique->BOKClick();
  EXPECT_TRUE(Vue.Fermee);
  EXPECT_EQ(Vue.Erreurs.size(), 1u);
  EXPECT_EQ(Stocke("host"), "apres");
  EXPECT_EQ(Stocke("types"), "RNM");

  // A store that cannot even be opened (a file where its folder should be).
  Vue = TVueTest();
  Demarre();
  EcritOctets(Chemin("fichier"), "x");
  setenv("ORVALINE_REGISTRE", Chemin("fichier/Orvaline.ini").c_str(), 1);
  Vue.Tape(ETexte::EConj, "et");
  Logique->BOKClick();
  EXPECT_FALSE(Vue.Fermee);
  EXPECT_EQ(Vue.Erreurs.size(), 1u);

  // Défaut on a file that cannot be deleted (a folder stands in its place).
  Vue = TVueTest();
  fs::create_directory(Chemin("dossier.ini"));
  setenv("ORVALINE_REGISTRE", Chemin("dossier.ini").c_str(), 1);
  Demarre();
  Logique->BDefautClick();
  EXPECT_FALSE(Vue.Fermee);
  ASSERT_EQ(Vue.Erreurs.size(), 1u);
  EXPECT_NE(Vue.Erreurs[0].find("n'ont pas pu être effacées"_a), std::string::npos) << Vue.Erreurs[0];
  EXPECT_TRUE(fs::is_directory(Chemin("dossier.ini")));
}

}  // namespace
