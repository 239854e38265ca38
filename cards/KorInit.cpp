#include "cards/KorInit.h"

#include <array>
#include <stdexcept>
#include <string_view>
#include <variant>

#include "cards/KorOutils.h"
#include "platform/Registre.h"

namespace {

const std::string Cle = "Software\\Orvaline";
constexpr std::size_t LongueurListeLettres = 255;

// How a value is read and written.
enum class EGenre {
  TexteDefaut,  // text with a default: taken as stored when present, even empty
  Texte,        // text without a default: absent = empty
  Chemin,       // a file-system path (UTF-8), stored as it is; absent = empty
  Lettres,      // letter list: at most 255, empty = default
  Entier,       // read only when present
  Booleen,      // 0/1, read as true for any non-zero
  Index,        // card index of a path: read only when the path is not empty
};

using TMembre = std::variant<std::string TReglages::*, std::int32_t TReglages::*, bool TReglages::*>;

struct TValeur {
  std::string_view nom;
  EGenre genre;
  TMembre membre;
  std::string TReglages::* chemin = nullptr;  // Index: the path it belongs to
};

const std::array<TValeur, 48> Valeurs = {{
    {"or", EGenre::TexteDefaut, &TReglages::Conjonction},
    {"xdelim", EGenre::TexteDefaut, &TReglages::Ponctuation},
    {"ignor", EGenre::TexteDefaut, &TReglages::MotsIgnores},
    {"foname", EGenre::TexteDefaut, &TReglages::PoliceChamps},
    {"fosize", EGenre::Entier, &TReglages::TaillePoliceChamps},
    {"open", EGenre::Chemin, &TReglages::FichierOuvert},
    {"openum", EGenre::Index, &TReglages::NumeroFicheOuvert, &TReglages::FichierOuvert},
    {"recent", EGenre::Chemin, &TReglages::FichierRecent},
    {"recnum", EGenre::Index, &TReglages::NumeroFicheRecent, &TReglages::FichierRecent},
    {"opened", EGenre::Booleen, &TReglages::FichierOuvertEnQuittant},
    {"minsp", EGenre::Booleen, &TReglages::EspaceAutourSeparateur},
    {"fulscr", EGenre::Booleen, &TReglages::PleinEcran},
    {"height", EGenre::Entier, &TReglages::HauteurFenetre},
    {"width", EGenre::Entier, &TReglages::LargeurFenetre},
    {"topmst", EGenre::Booleen, &TReglages::AvantPlan},
    {"reopen", EGenre::Booleen, &TReglages::OuvrirAuDemarrage},
    {"uninst", EGenre::Booleen, &TReglages::InstanceUnique},
    {"sign", EGenre::Texte, &TReglages::SignatureDefaut},
    {"srcbck", EGenre::Booleen, &TReglages::ChercheArriere},
    {"alltyp", EGenre::Booleen, &TReglages::TousTypes},
    {"types", EGenre::Lettres, &TReglages::TypesUtilises},
    {"frmats", EGenre::Lettres, &TReglages::FormatsUtilises},
    {"lstfon", EGenre::TexteDefaut, &TReglages::PoliceListe},
    {"lstfos", EGenre::Entier, &TReglages::TaillePoliceListe},
    {"xslfil", EGenre::Texte, &TReglages::FeuilleStyleDefaut},
    {"xmlutf", EGenre::Booleen, &TReglages::XMLUtf8},
    {"lfonly", EGenre::Booleen, &TReglages::XMLLFSeul},
    {"mcqor", EGenre::TexteDefaut, &TReglages::SeparateurQCM},
    {"mcqfrm", EGenre::Texte, &TReglages::FormatQCM},
    {"mcqnor", EGenre::Entier, &TReglages::NombreSeparateursQCM},
    {"comma", EGenre::Texte, &TReglages::TexteSeparateurCSV},
    {"csvtyp", EGenre::TexteDefaut, &TReglages::TypesCSV},
    {"csvutf", EGenre::Booleen, &TReglages::CSVUtf8},
    {"ncwnf", EGenre::Booleen, &TReglages::NouvelleFicheSiNouveauFichier},
    {"good", EGenre::TexteDefaut, &TReglages::MessageBon},
    {"bad", EGenre::TexteDefaut, &TReglages::MessageMauvais},
    {"mean", EGenre::TexteDefaut, &TReglages::MessageMoyen},
    {"chpref", EGenre::Booleen, &TReglages::MenuPreferencesVisible},
    {"ctrla", EGenre::Booleen, &TReglages::CtrlAAccepte},
    {"ctaltp", EGenre::Booleen, &TReglages::CtrlAltPBascule},
    {"menu", EGenre::Booleen, &TReglages::BarreMenu},
    {"host", EGenre::Texte, &TReglages::HoteFeuilleNotes},
    {"cotout", EGenre::Entier, &TReglages::DelaiConnexion},
    {"margin", EGenre::Entier, &TReglages::MargeSeuil},
    {"maxhun", EGenre::Booleen, &TReglages::NoteSur100},
    {"repunf", EGenre::Booleen, &TReglages::RapporteInterrompues},
    {"mnfile", EGenre::Booleen, &TReglages::MenuFichierEnPartie},
    {"mnplay", EGenre::Booleen, &TReglages::MenuPartieEnPartie},
}};

const TValeur& Valeur(std::string_view nom) {
  for (const auto& v : Valeurs)
    if (v.nom == nom) return v;
  throw std::logic_error("reglage inconnu: " + std::string(nom));
}

const TReglages& Defauts() {
  static const TReglages d;
  return d;
}

// Reading orders of the three shares ("openum" and "recnum" right after their path).
constexpr std::string_view LectureEditeur[] = {
    "or", "xdelim", "ignor", "foname", "fosize", "open", "openum", "recent", "recnum", "minsp",
    "fulscr", "height", "width", "topmst", "sign", "reopen", "uninst", "opened", "alltyp", "types",
    "frmats", "lstfon", "lstfos", "xslfil", "xmlutf", "lfonly", "mcqor", "mcqfrm", "mcqnor",
    "comma", "csvtyp", "csvutf", "ncwnf", "srcbck"};
constexpr std::string_view LectureJoueur[] = {
    "or", "xdelim", "ignor", "foname", "fosize", "open", "openum", "recent", "recnum", "minsp",
    "good", "bad", "mean", "chpref", "ctrla", "ctaltp", "host", "cotout", "margin", "menu",
    "maxhun", "repunf", "mnfile", "mnplay"};
constexpr std::string_view LecturePreferences[] = {
    "or", "xdelim", "ignor", "foname", "fosize", "minsp", "good", "bad", "mean", "chpref",
    "ctrla", "ctaltp", "host", "cotout", "margin", "menu", "maxhun", "repunf", "mnfile", "mnplay",
    "alltyp", "types", "frmats", "lstfon", "lstfos", "xslfil", "xmlutf", "lfonly", "mcqor",
    "mcqfrm", "mcqnor", "comma", "csvtyp", "csvutf", "ncwnf"};

// registre null: the store could not be opened, and every value reads as absent.
void LitValeur(TReglages& r, const TValeur& v, const TRegistre* registre) {
  const bool existe = registre && registre->ValeurExiste(std::string(v.nom));
  const std::string nom(v.nom);
  switch (v.genre) {
    case EGenre::TexteDefaut: {
      auto m = std::get<std::string TReglages::*>(v.membre);
      r.*m = existe ? registre->LitTexte(nom).value_or(Defauts().*m) : Defauts().*m;
      break;
    }
    case EGenre::Texte: {
      auto m = std::get<std::string TReglages::*>(v.membre);
      r.*m = existe ? registre->LitTexte(nom).value_or(std::string()) : std::string();
      break;
    }
    case EGenre::Chemin: {
      auto m = std::get<std::string TReglages::*>(v.membre);
      r.*m = existe ? registre->LitTexteUtf8(nom).value_or(std::string()) : std::string();
      break;
    }
    case EGenre::Lettres: {
      auto m = std::get<std::string TReglages::*>(v.membre);
      std::string s = existe ? registre->LitTexte(nom).value_or(std::string()) : std::string();
      if (s.size() > LongueurListeLettres) s.resize(LongueurListeLettres);
      r.*m = s.empty() ? Defauts().*m : s;
      break;
    }
    case EGenre::Index: {
      // Only for a known path; a missing or unreadable index is the first card.
      if ((r.*(v.chemin)).empty()) break;
      auto m = std::get<std::int32_t TReglages::*>(v.membre);
      r.*m = existe ? registre->LitEntier(nom).value_or(Defauts().*m) : Defauts().*m;
      break;
    }
    case EGenre::Entier: {
      if (!existe) break;
      auto m = std::get<std::int32_t TReglages::*>(v.membre);
      // A value of another type counts for nothing.
      r.*m = registre->LitEntier(nom).value_or(Defauts().*m);
      break;
    }
    case EGenre::Booleen: {
      if (!existe) break;
      auto m = std::get<bool TReglages::*>(v.membre);
      r.*m = registre->LitBooleen(nom).value_or(Defauts().*m);
      break;
    }
  }
}

template <std::size_t N>
void LitOrdre(TReglages& r, const std::string_view (&ordre)[N], const TRegistre* registre) {
  for (auto nom : ordre) LitValeur(r, Valeur(nom), registre);
}

void LitPart(TReglages& r, EPartReglages part, const TRegistre* registre) {
  switch (part) {
    case EPartReglages::Editeur:
      LitOrdre(r, LectureEditeur, registre);
      FixeSeparateurCSV(r.TexteSeparateurCSV, r);
      break;
    case EPartReglages::Joueur:
      LitOrdre(r, LectureJoueur, registre);
      break;
    case EPartReglages::Preferences:
      LitOrdre(r, LecturePreferences, registre);
      break;
  }
}

// One value to write; siVide: deleted instead of written when its text is empty.
struct TEcriture {
  std::string_view nom;
  bool supprimeSiVide = false;
};
constexpr bool SupprimeSiVide = true;

void EcritValeur(TRegistre& reg, const TReglages& r, const TEcriture& e) {
  const TValeur& v = Valeur(e.nom);
  const std::string nom(v.nom);
  if (const auto m = std::get_if<std::string TReglages::*>(&v.membre)) {
    const std::string& texte = r.**m;
    if (e.supprimeSiVide && texte.empty())
      reg.SupprimeValeur(nom);
    else if (v.genre == EGenre::Chemin)
      reg.EcritTexteUtf8(nom, texte);
    else if (v.genre == EGenre::Lettres)
      reg.EcritTexte(nom, texte.substr(0, LongueurListeLettres));
    else
      reg.EcritTexte(nom, texte);
  } else if (const auto m = std::get_if<std::int32_t TReglages::*>(&v.membre)) {
    reg.EcritEntier(nom, r.**m);
  } else {
    reg.EcritBooleen(nom, r.*std::get<bool TReglages::*>(v.membre));
  }
}

template <std::size_t N>
void EcritOrdre(TRegistre& reg, const TReglages& r, const TEcriture (&ordre)[N]) {
  for (const auto& e : ordre) EcritValeur(reg, r, e);
}

constexpr TEcriture EditeurToujours[] = {{"opened"}, {"open"}, {"openum"}, {"recent"}, {"recnum"}, {"fulscr"}};
constexpr TEcriture EditeurTaille[] = {{"height"}, {"width"}};
constexpr TEcriture EditeurListes[] = {{"types"}, {"frmats"}};
constexpr TEcriture EditeurPreferences[] = {
    {"foname"}, {"fosize"}, {"topmst"}, {"reopen"}, {"uninst"}, {"lstfon"}, {"lstfos"},
    {"xmlutf"}, {"comma", SupprimeSiVide}, {"csvutf"}};

constexpr TEcriture JoueurToujours[] = {{"opened"}, {"open"}, {"openum"}, {"recent"}, {"recnum"}};
constexpr TEcriture JoueurPreferences[] = {
    {"foname"}, {"fosize"}, {"or"}, {"xdelim"}, {"ignor"}, {"good"}, {"bad"}, {"mean"},
    {"host", SupprimeSiVide}, {"maxhun"}, {"repunf"}, {"chpref"}, {"mnfile"}, {"mnplay"}};

constexpr TEcriture PrefEditeur1[] = {{"types"}, {"frmats"}, {"foname"}, {"fosize"}};
constexpr TEcriture PrefJoueur2[] = {
    {"or"}, {"xdelim"}, {"ignor"}, {"good"}, {"bad"}, {"mean"}, {"host", SupprimeSiVide},
    {"maxhun"}, {"repunf"}, {"chpref"}, {"mnfile"}, {"mnplay"}};
constexpr TEcriture PrefEditeur3[] = {
    {"lstfon"}, {"lstfos"}, {"xmlutf"}, {"comma", SupprimeSiVide}, {"csvutf"}};
constexpr TEcriture PrefJoueur4[] = {{"ctrla"}, {"menu"}, {"cotout"}, {"margin"}, {"ctaltp"}};
constexpr TEcriture PrefEditeur5[] = {
    {"alltyp"}, {"minsp"}, {"xslfil", SupprimeSiVide}, {"lfonly"}, {"mcqor", SupprimeSiVide},
    {"mcqfrm", SupprimeSiVide}, {"mcqnor"}, {"csvtyp"}};

}  // namespace

TReglages::TReglages()
    : Conjonction("ou"),
      Ponctuation("!\"',-.:;?"),
      MotsIgnores("un une des le la les l de du et"),
      PoliceChamps("Lucida Sans Typewriter"),
      TypesUtilises("RNLQM"),
      FormatsUtilises("xscmt"),
      PoliceListe("MS Reference Sans Serif"),
      SeparateurQCM("==="),
      TypesCSV("L"),
      MessageBon("Félicitations !"_a),
      MessageMauvais("Pas terrible, hum ?..."),
      MessageMoyen("Passable.") {}

TReglages& Reglages() {
  static TReglages reglages;
  return reglages;
}

void LitPreferences(TReglages& r, EPartReglages part) {
  TRegistre registre;
  LitPreferences(r, part, registre);
}

void LitPreferences(TReglages& r, EPartReglages part, TRegistre& registre) {
  // A store that cannot be opened reads as an empty one: every variable gets its default.
  const bool ouvert = registre.OuvreCle(Cle);
  LitPart(r, part, ouvert ? &registre : nullptr);
  if (ouvert) registre.FermeCle();
}

void EcritPreferences(const TReglages& r, EPartReglages part, bool avecPreferences) {
  TRegistre reg;
  if (!reg.OuvreCle(Cle)) return;
  switch (part) {
    case EPartReglages::Editeur:
      EcritOrdre(reg, r, EditeurToujours);
      // A maximised window leaves the last normal size in place.
      if (!r.PleinEcran) EcritOrdre(reg, r, EditeurTaille);
      EcritOrdre(reg, r, EditeurListes);
      if (avecPreferences) EcritOrdre(reg, r, EditeurPreferences);
      break;
    case EPartReglages::Joueur:
      EcritOrdre(reg, r, JoueurToujours);
      if (avecPreferences) EcritOrdre(reg, r, JoueurPreferences);
      break;
    case EPartReglages::Preferences:
      break;  // the preferences program writes by group (the other form)
  }
  reg.FermeCle();
}

bool EcritPreferences(const TReglages& r, bool jeu, bool editeur) {
  if (!jeu && !editeur) return true;
  TRegistre reg;
  if (!reg.OuvreCle(Cle)) return false;
  if (editeur) EcritOrdre(reg, r, PrefEditeur1);
  if (jeu) EcritOrdre(reg, r, PrefJoueur2);
  if (editeur) EcritOrdre(reg, r, PrefEditeur3);
  if (jeu) EcritOrdre(reg, r, PrefJoueur4);
  if (editeur) {
    EcritOrdre(reg, r, PrefEditeur5);
    if (r.DimensionsOriginales) {
      reg.SupprimeValeur("height");
      reg.SupprimeValeur("width");
    }
    EcritValeur(reg, r, {"ncwnf"});
  }
  reg.FermeCle();
  return !reg.EchecEcriture();
}

bool EffacePreferences() {
  // No key at all is what deleting it was for.
  return TRegistre::SupprimeCle(Cle) || !TRegistre::CleExiste(Cle);
}
