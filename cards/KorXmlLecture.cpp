// The XML card file reader, over libxml2's streamed parse: the cards are built as their elements
// arrive and no document tree is held. The file is parsed from its bytes with no network access,
// no DTD loading and no entity substitution (entity references that are not predefined add
// nothing), and with libxml2's limits on.
//
// Elements may come in any order. The first element of each name under the root counts (TITRE,
// OPTIONS, ...), every element named as a card is a card. Until the first OPTIONS has ended, the
// joiners of the field-2 items are not known: the cards met before it keep their items apart and
// are joined when it ends, or at the end of the file.
//
// White space follows what a DOM does by default: unless xml:space="preserve" is in force, each
// run of text is taken without its leading and trailing blanks, so that the spacing the writer
// leaves around a separator is not added twice when the reader joins the items again.

#include <array>
#include <climits>
#include <cstring>
#include <cstdint>
#include <utility>
#include <vector>

#include "cards/KorAnalyseXml.h"
#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"

namespace {

std::string MessagePasOrvaline() { return "Pas un fichier XML d'Orvaline valide !"; }
std::string MessagePasQuestionnaire() { return "Ce fichier n'est pas un questionnaire !"; }

// XML white space (space, TAB, LF, CR), not the wider blanks of the text helpers.
bool EstBlancXml(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Equality of element names, which mostly differ in length or in their first letter.
bool MemeNom(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         (a.empty() || (a[0] == b[0] && (a.size() == 1 || std::memcmp(a.data() + 1, b.data() + 1, a.size() - 1) == 0)));
}

std::string_view SansBlancs(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && EstBlancXml(s[a])) ++a;
  while (b > a && EstBlancXml(s[b - 1])) --b;
  return s.substr(a, b - a);
}

std::string EnAnsi(std::string_view utf8) {
  std::string s, brouillon;
  ansi::AjouteUtf8EnAnsi(s, utf8, false, brouillon);
  return s;
}

std::string Minuscules(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Majuscules(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "oui" in any case, from the UTF-8 of a value: no character outside ASCII becomes a letter of
// it in 1252.
bool EstOui(std::string_view utf8) {
  return utf8.size() == 3 && (utf8[0] | 0x20) == 'o' && (utf8[1] | 0x20) == 'u' && (utf8[2] | 0x20) == 'i';
}

// A decimal integer (blanks around it and a sign allowed), or the default.
int EntierOuDefaut(std::string_view s, int defaut) {
  s = SansBlancs(s);
  std::size_t i = 0;
  bool negatif = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negatif = s[i++] == '-';
  if (i == s.size()) return defaut;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return defaut;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return defaut;
  }
  if (negatif) v = -v;
  if (v > INT_MAX || v < INT_MIN) return defaut;
  return static_cast<int>(v);
}

// The references of a pseudo-attribute value (predefined entities and character references);
// anything else stays as written.
std::string SansReferences(std::string_view s) {
  std::string r;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] != '&') {
      r += s[i++];
      continue;
    }
    const std::size_t fin = s.find(';', i);
    if (fin == std::string_view::npos || fin - i > 12) {
      r += s[i++];
      continue;
    }
    const std::string_view ref = s.substr(i + 1, fin - i - 1);
    bool fait = true;
    if (ref == "amp") r += '&';
    else if (ref == "lt") r += '<';
    else if (ref == "gt") r += '>';
    else if (ref == "quot") r += '"';
    else if (ref == "apos") r += '\'';
    else if (ref.size() >= 2 && ref[0] == '#') {
      const bool hexa = ref[1] == 'x';
      const std::string_view chiffres = ref.substr(hexa ? 2 : 1);
      unsigned long u = 0;
      fait = !chiffres.empty();
      for (char c : chiffres) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hexa && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hexa && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || u > 0x10FFFF) { fait = false; break; }
        u = u * (hexa ? 16 : 10) + static_cast<unsigned long>(d);
      }
      fait = fait && u >= 0x20 && u <= 0x10FFFF && !(u >= 0xD800 && u <= 0xDFFF);
      if (fait) ansi::AjouteUtf8(r, static_cast<char32_t>(u));
    } else {
      fait = false;
    }
    if (fait) {
      i = fin + 1;
    } else {
      r += s[i++];
    }
  }
  return r;
}

// The options, in the order they are applied once their block has ended; the first seven are
// the Booleans.
namespace option {
enum EOption {
  ReposerErreurs, SuivreOrdre, BriderEntree, DifferencierCasse, Phonetique, MotAMot, Correction,
  NombreQuestions, ScoreSatisfaisant, Temps, Ponctuation, MotsIgnores, OuVisible, OuCache,
  Fragmenteur, Espacement, Alternateur, Commentaire, Troncature, NombreOptions
};
}  // namespace option
using option::EOption;
using option::NombreOptions;
constexpr int NombreBooleens = option::Correction + 1;
constexpr std::array<std::string_view, NombreOptions> NomsOptions = {
    "REPOSER_ERREURS", "SUIVRE_ORDRE",  "BRIDER_ENTREE", "DIFFERENCIER_CASSE", "PHONETIQUE",
    "MOT_A_MOT",       "CORRECTION",    "NOMBRE_QUESTIONS", "SCORE_SATISFAISANT", "TEMPS",
    "PONCTUATION",     "MOTS_IGNORES",  "OU_VISIBLE",    "OU_CACHE",           "FRAGMENTEUR",
    "ESPACEMENT",      "ALTERNATEUR",   "COMMENTAIRE",   "TRONCATURE"};

// What an element directly under the root stands for (it may stand for several).
enum : unsigned { Titre = 1, Signature = 2, Description = 4, Options = 8, Etiquettes = 16, Canevas = 32, Fiche = 64 };

// Where the text of an element goes.
enum class ECible : std::uint8_t { Titre, Signature, Description, Option, Etiquette, Canevas, Champ0, Champ1, Item };

// The text of one element being read: its DOM text (all the text below it), or the text of a
// multi-line element (line breaks made CR LF; with control tags on, the runs of text directly
// in it, br and tab giving CR LF and TAB).
struct TCapture {
  int Profondeur = 0;
  bool Element = false;
  bool Preserve = false;
  ECible Cible = ECible::Titre;
  int Index = 0;
  std::string Brut;   // UTF-8, not yet taken
  std::string Texte;  // 1252
};

// A card read before its joiners are known.
struct TCarteEnAttente {
  std::string Champ0, Champ1;
  std::vector<std::pair<bool, std::string>> Items;  // hidden, text
};

class TLecteurXML final : public TAnalyseXml {
 public:
  TLecteurXML(TFichierXML& xml, bool complet, EVarianteModele variante, const TReglages& r)
      : X(xml), FComplet(complet), FVariante(variante), FJoueur(variante == EVarianteModele::Questionnaire), R(r) {
    FSansTexte = true;  // text matters only inside an element being read
  }

 protected:
  void DebutElement(std::string_view nom, bool prefixe, const TAttributsXml& attributs) override {
    const int d = FProfondeur++;
    if (static_cast<int>(FPreserve.size()) <= d) FPreserve.resize(static_cast<std::size_t>(d) + 1);
    bool preserve = d > 0 && FPreserve[static_cast<std::size_t>(d) - 1];
    if (attributs.EspaceXml(FValeur)) {
      if (FValeur == "preserve") preserve = true;
      else if (FValeur == "default") preserve = false;
    }
    FPreserve[static_cast<std::size_t>(d)] = preserve;
    if (d == 0) {
      Racine(nom, prefixe, attributs);
      return;
    }
    if (!FLecture) return;
    if (X.FAvecBalisesControles && FNbCaptures > 0) BaliseDansLeTexte(nom, prefixe, d);
    if (prefixe) return;
    if (d == 1)
      Bloc(nom, preserve);
    else if (d == 2)
      EnfantDeBloc(nom, attributs, preserve);
  }

  void FinElement() override {
    const int d = --FProfondeur;
    if (!FLecture) return;
    while (FNbCaptures > 0 && FCaptures[FNbCaptures - 1].Profondeur == d) Termine(FCaptures[--FNbCaptures]);
    FSansTexte = FNbCaptures == 0;
    if (d == 1) {
      const unsigned roles = std::exchange(FRoles, 0u);
      if (roles & (Options | Etiquettes | Canevas)) FinEnTete(roles);
      if (roles & Fiche) FinCarte();
    } else if (d == 0) {
      if (FComplet) {
        if (!FJonctionsFixees) Jonctions();
        ResoutAttente();
      }
      FLecture = false;
    }
  }

  void Texte(std::string_view utf8) override {
    const int courant = FProfondeur - 1;
    for (std::size_t i = 0; i < FNbCaptures; ++i) {
      TCapture& c = FCaptures[i];
      if (!c.Element || !X.FAvecBalisesControles || c.Profondeur == courant) c.Brut.append(utf8);
    }
  }

  void Reference(std::string_view) override { AutreNoeud(); }
  void Commentaire() override {
    if (!FRacineVue) FStyleOuvert = false;
    AutreNoeud();
  }
  void Doctype() override { FStyleOuvert = false; }

  // Before the root, the style-sheet instructions: the href of the last xml-stylesheet
  // instruction before anything else in the document.
  void Instruction(std::string_view cible, const char* donnees) override {
    if (FRacineVue) {
      AutreNoeud();
      return;
    }
    if (!FStyleOuvert || cible != "xml-stylesheet" || !donnees) return;
    const std::string_view data(donnees);
    const std::size_t debut = data.find("href=\"");
    if (debut == std::string_view::npos) return;
    const std::size_t fin = data.find(".xsl\"", debut + 6);
    if (fin == std::string_view::npos) return;
    FFeuilleStyle = EnAnsi(SansReferences(data.substr(debut + 6, fin + 4 - (debut + 6))));
  }

 private:
  void Racine(std::string_view nom, bool prefixe, const TAttributsXml& attributs) {
    FRacineVue = true;
    if (prefixe || nom != "ORVALINE") {
      FRefus = MessagePasOrvaline();
      return;
    }
    std::string type, version, versionCreation, idFiche, idChamp0, idChamp1, idChamp2, balises, retour, espace;
    attributs.PourChaque([&](std::string_view a, const std::string& valeur) {
      std::string* cible = a == "TYPE"               ? &type
                           : a == "VERSION"          ? &version
                           : a == "VERSION_CREATION" ? &versionCreation
                           : a == "ID_FICHE"         ? &idFiche
                           : a == "ID_CHAMP0"        ? &idChamp0
                           : a == "ID_CHAMP1"        ? &idChamp1
                           : a == "ID_CHAMP2"        ? &idChamp2
                           : a == "BALISES_CONTROLES" ? &balises
                           : a == "RETOUR"           ? &retour
                                                     : nullptr;
      if (cible) *cible = EnAnsi(valeur);
    });
    if (attributs.EspaceXml(FValeur)) espace = EnAnsi(FValeur);

    char lettre = type.empty() ? 'Q' : type[0];
    if (lettre >= 'a' && lettre <= 'z') lettre = static_cast<char>(lettre - 'a' + 'A');
    if (FJoueur && lettre != 'Q') {
      FRefus = MessagePasQuestionnaire();
      return;
    }
    X.FLu = std::make_unique<TFichierX>(lettre, 'x', FVariante, R);
    X.FFichier = X.FLu.get();
    F = X.FFichier;
    TFichierX& f = *F;
    if (!FJoueur) {
      f.FFeuilleStyle = FFeuilleStyle;
      if (FComplet) f.FVersionCreation = versionCreation.empty() ? version : versionCreation;
    }
    AssigneIdentificateur(f.FIdFiche, idFiche);
    f.SetIdChamp0(idChamp0);
    f.SetIdChamp1(idChamp1);
    AssigneIdentificateur(f.FIdChamp2, idChamp2);
    f.FBalisesControles = Minuscules(balises);
    f.FEspaceXml = espace;
    if (FJoueur) {
      X.FAvecBalisesControles = f.FBalisesControles != "non";
    } else {
      f.FRetour = Majuscules(retour);
      X.FAvecBalisesControles =
          f.FBalisesControles == "oui" || (!f.FFeuilleStyle.empty() && f.FBalisesControles != "non");
      X.FPreserveEspaces = f.FEspaceXml == "preserve";
    }
    FLecture = true;
  }

  // An element directly under the root.
  void Bloc(std::string_view nom, bool preserve) {
    unsigned roles = 0;
    auto premier = [&](unsigned role, std::string_view n) {
      if (!(FBlocsVus & role) && MemeNom(nom, n)) roles |= role;
    };
    premier(Titre, "TITRE");
    premier(Signature, "SIGNATURE");
    premier(Description, "DESCRIPTION");
    premier(Options, "OPTIONS");
    premier(Etiquettes, "ETIQUETTES");
    premier(Canevas, "CANEVAS");
    FBlocsVus |= roles;
    if (FComplet && MemeNom(nom, F->FIdFiche)) roles |= Fiche;
    if (!FComplet) roles &= ~(Titre | Signature | Description);
    if (FJoueur) roles &= ~(Etiquettes | Canevas);
    FRoles = roles;
    if (roles & Titre) Capture(1, false, preserve, ECible::Titre);
    if (roles & Signature) Capture(1, false, preserve, ECible::Signature);
    if (roles & Description) Capture(1, true, preserve, ECible::Description);
    if (roles & Options) F->FAvecOptions = true;
    if (roles & Fiche) DebutCarte();
  }

  // An element inside a block: an option, a label, a field of the template or of a card.
  void EnfantDeBloc(std::string_view nom, const TAttributsXml& attributs, bool preserve) {
    if (FRoles & (Options | Etiquettes | Canevas)) EnfantDEnTete(nom, attributs, preserve);
    if (FRoles & Fiche) {
      const TFichierX& f = *F;
      if (f.FAvecChamp0 && !FVu0 && MemeNom(nom, f.FIdChamp0)) {
        FVu0 = true;
        Capture(2, true, preserve, ECible::Champ0);
      }
      if (!f.FSansChamp1 && !FVu1 && MemeNom(nom, f.FIdChamp1)) {
        FVu1 = true;
        Capture(2, true, preserve, ECible::Champ1);
      }
      if (MemeNom(nom, f.FIdChamp2)) {
        FCacheItem = attributs.Valeur("CACHE", FValeur) && EstOui(FValeur);
        Capture(2, true, preserve, ECible::Item);
      }
    }
  }

  // An option, a label or a field of the template.
  [[gnu::noinline]] void EnfantDEnTete(std::string_view nom, const TAttributsXml& attributs, bool preserve) {
    if (FRoles & Options) {
      for (int i = 0; i < NombreOptions; ++i) {
        if (!MemeNom(nom, NomsOptions[static_cast<std::size_t>(i)]) || FOptionVue[static_cast<std::size_t>(i)]) continue;
        FOptionVue[static_cast<std::size_t>(i)] = true;
        if (i < NombreBooleens)
          FBooleens[static_cast<std::size_t>(i)] = attributs.Valeur("VALEUR", FValeur) && EstOui(FValeur);
        else
          Capture(2, false, preserve, ECible::Option, i);
      }
    }
    const std::string* ids[3] = {&F->FIdChamp0, &F->FIdChamp1, &F->FIdChamp2};
    for (int k = 0; k < 3; ++k) {
      if ((FRoles & Etiquettes) && !FEtiquetteVue[static_cast<std::size_t>(k)] && MemeNom(nom, *ids[k])) {
        FEtiquetteVue[static_cast<std::size_t>(k)] = true;
        Capture(2, false, preserve, ECible::Etiquette, k);
      }
      if ((FRoles & Canevas) && !FCanevasVu[static_cast<std::size_t>(k)] && MemeNom(nom, *ids[k])) {
        FCanevasVu[static_cast<std::size_t>(k)] = true;
        Capture(2, false, preserve, ECible::Canevas, k);
      }
    }
  }

  // With control tags, a child element ends the run of text of its parent; br and tab stand for
  // CR LF and TAB.
  [[gnu::noinline]] void BaliseDansLeTexte(std::string_view nom, bool prefixe, int d) {
    for (std::size_t i = 0; i < FNbCaptures; ++i) {
      TCapture& c = FCaptures[i];
      if (!c.Element || c.Profondeur != d - 1) continue;
      Vide(c);
      if (!prefixe && nom == "br")
        c.Texte += "\r\n";
      else if (!prefixe && nom == "tab")
        c.Texte += '\t';
    }
  }

  // A comment, an instruction or a reference ends the run of text of its parent element.
  void AutreNoeud() {
    if (!FLecture || !X.FAvecBalisesControles) return;
    for (std::size_t i = 0; i < FNbCaptures; ++i) {
      TCapture& c = FCaptures[i];
      if (c.Element && c.Profondeur == FProfondeur - 1) Vide(c);
    }
  }

  void Capture(int profondeur, bool element, bool preserve, ECible cible, int index = 0) {
    if (FNbCaptures == FCaptures.size()) FCaptures.emplace_back();
    TCapture& c = FCaptures[FNbCaptures++];
    FSansTexte = false;
    c.Profondeur = profondeur;
    c.Element = element;
    c.Preserve = preserve;
    c.Cible = cible;
    c.Index = index;
    c.Brut.clear();
    c.Texte.clear();
  }

  std::string_view Pris(const TCapture& c) const {
    return c.Preserve ? std::string_view(c.Brut) : SansBlancs(c.Brut);
  }

  // Takes the run of text read so far.
  void Vide(TCapture& c) {
    ansi::AjouteUtf8EnAnsi(c.Texte, Pris(c), true, FBrouillon);
    c.Brut.clear();
  }

  void Termine(TCapture& c) {
    const bool parMorceaux = c.Element && X.FAvecBalisesControles;
    if (c.Cible == ECible::Item && !parMorceaux && !FCarteEnAttente) {
      Joint();  // straight into field 2
      ansi::AjouteUtf8EnAnsi(FChamp2, Pris(c), true, FBrouillon);
      return;
    }
    if (parMorceaux)
      Vide(c);
    else
      ansi::AjouteUtf8EnAnsi(c.Texte, Pris(c), c.Element, FBrouillon);
    // The text goes where it belongs; but for an item, the capture's next text starts a string of
    // its own.
    switch (c.Cible) {
      case ECible::Item: AjouteItem(c.Texte); return;
      case ECible::Champ0: FChamp0 = std::move(c.Texte); return;
      case ECible::Champ1: FChamp1 = std::move(c.Texte); return;
      default: Range(c);
    }
  }

  [[gnu::noinline]] void Range(TCapture& c) {
    std::string t = std::move(c.Texte);
    TFichierX& f = *F;
    switch (c.Cible) {
      case ECible::Titre:
        if (FJoueur)
          f.FTitre = std::move(t);
        else
          f.SetTitre(t);
        break;
      case ECible::Signature: f.FSignature = std::move(t); break;
      case ECible::Description: f.FDescription = std::move(t); break;
      case ECible::Option: FTexteOption[static_cast<std::size_t>(c.Index)] = std::move(t); break;
      case ECible::Etiquette: Champ(f.FEtiquettes, c.Index) = std::move(t); break;
      case ECible::Canevas: Champ(f.FCanevas, c.Index) = c.Index == 0 ? std::move(t) : Desechappe(t); break;
      case ECible::Champ0:
      case ECible::Champ1:
      case ECible::Item: break;
    }
  }

  static std::string& Champ(TFicheX& fiche, int k) { return k == 0 ? fiche.Champ0 : k == 1 ? fiche.Champ1 : fiche.Champ2; }

  [[gnu::noinline]] void FinEnTete(unsigned roles) {
    if (roles & Options) FinOptions();
    if (roles & Etiquettes) F->FAvecEtiquettes = true;
    if (roles & Canevas) F->FAvecCanevas = true;
  }

  // The options of the first OPTIONS block, in a fixed order whatever the file's.
  void FinOptions() {
    TFichierX& f = *F;
    auto texte = [&](EOption o, std::string& cible) {
      if (!FOptionVue[o]) return false;
      cible = FTexteOption[o];
      return true;
    };
    auto entier = [&](EOption o, std::uint8_t& cible, int defaut) {
      if (FOptionVue[o]) cible = static_cast<std::uint8_t>(EntierOuDefaut(FTexteOption[o], defaut) & 0xFF);
    };
    auto caractere = [&](EOption o, void (TFichierX::*fixe)(char)) {
      if (FOptionVue[o]) (f.*fixe)(PremierCaractere(FTexteOption[o]));
    };
    if (FJoueur || f.FQuestionnaire) {
      bool* booleens[NombreBooleens] = {&f.FReposerErreurs,     &f.FSuivreOrdre, &f.FBriderEntree, &f.FDifferencierCasse,
                                        &f.FPhonetique,         &f.FMotAMot,     &f.FCorrection};
      for (int i = 0; i < NombreBooleens; ++i)
        if (FOptionVue[static_cast<std::size_t>(i)]) *booleens[i] = FBooleens[static_cast<std::size_t>(i)];
      entier(option::NombreQuestions, f.FNombreQuestions, 0);
      entier(option::ScoreSatisfaisant, f.FScoreSatisfaisant, 50);
      entier(option::Temps, f.FTemps, 0);
      texte(option::Ponctuation, f.FPonctuation);
      f.FAvecMotsIgnores = texte(option::MotsIgnores, f.FMotsIgnores);
      texte(option::OuVisible, f.FOuVisible);
      texte(option::OuCache, f.FFragmenteur);
    } else if (FOptionVue[option::Fragmenteur]) {
      f.FFragmenteur = Desechappe(FTexteOption[option::Fragmenteur]);
    }
    if (!FJoueur && FOptionVue[option::Espacement]) f.FEspacement = Desechappe(FTexteOption[option::Espacement]);
    caractere(option::Alternateur, &TFichierX::SetAlternateur);
    caractere(option::Commentaire, &TFichierX::SetCommentaire);
    caractere(option::Troncature, &TFichierX::SetTroncature);
    if (FComplet) {
      Jonctions();
      ResoutAttente();
    }
  }

  // The joiners of the field-2 items; the player never pads them with the spacing.
  void Jonctions() {
    const TFichierX& f = *F;
    const bool padder = !FJoueur && !X.FPreserveEspaces;
    auto padde = [&](const std::string& s) { return padder ? f.FEspacement + s + f.FEspacement : s; };
    FAvecCache = false;
    if (!f.FOuVisible.empty()) {
      FVisible = " " + f.FOuVisible + " ";
      FCache = padde(f.FFragmenteur);
      FAvecCache = !f.FFragmenteur.empty();
    } else {
      FVisible = f.FFragmenteur.empty() ? std::string("\r\n") : padde(f.FFragmenteur);
    }
    FJonctionsFixees = true;
  }

  void DebutCarte() {
    FVu0 = FVu1 = false;
    FChamp0.clear();
    FChamp1.clear();
    FChamp2.clear();
    FPremierItem = true;
    FCarteEnAttente = !FJonctionsFixees;
    FItems.clear();
  }

  // Field 2 is gathered in a buffer kept from card to card.
  void AjouteItem(const std::string& item) {
    if (FCarteEnAttente) {
      FItems.emplace_back(FCacheItem, item);
      FPremierItem = false;
    } else {
      Joint();
      FChamp2 += item;
    }
  }

  // The joiner before an item of field 2 but the first.
  void Joint() {
    if (!FPremierItem) FChamp2 += FAvecCache && FCacheItem ? FCache : FVisible;
    FPremierItem = false;
  }

  void FinCarte() {
    if (!FCarteEnAttente) {
      AjouteCarte(std::move(FChamp0), std::move(FChamp1), std::string(FChamp2));
      return;
    }
    FAttente.push_back(TCarteEnAttente{std::move(FChamp0), std::move(FChamp1), std::move(FItems)});
    if (FJonctionsFixees) ResoutAttente();
  }

  void ResoutAttente() {
    for (TCarteEnAttente& c : FAttente) {
      std::string champ2;
      for (std::size_t i = 0; i < c.Items.size(); ++i) {
        if (i > 0) champ2 += FAvecCache && c.Items[i].first ? FCache : FVisible;
        champ2 += c.Items[i].second;
      }
      AjouteCarte(std::move(c.Champ0), std::move(c.Champ1), std::move(champ2));
    }
    FAttente.clear();
  }

  // As AjouteFiche: a field the file does not have was never read, and stays empty.
  void AjouteCarte(std::string&& champ0, std::string&& champ1, std::string&& champ2) {
    if (FJoueur && F->FAvecChamp0 && F->EstCategorie(champ0)) return;
    F->FFiches.push_back(std::unique_ptr<TFicheX>(new TFicheX{std::move(champ0), std::move(champ1), std::move(champ2)}));
  }

  TFichierXML& X;
  const bool FComplet;
  const EVarianteModele FVariante;
  const bool FJoueur;
  const TReglages& R;
  TFichierX* F = nullptr;

  bool FRacineVue = false;
  bool FLecture = false;     // inside an accepted root
  bool FStyleOuvert = true;  // nothing but instructions met yet
  std::string FFeuilleStyle;
  int FProfondeur = 0;
  std::vector<char> FPreserve;  // xml:space="preserve" in force, by depth
  std::string FValeur;
  unsigned FBlocsVus = 0;
  unsigned FRoles = 0;  // of the open element directly under the root

  std::vector<TCapture> FCaptures;
  std::string FBrouillon;  // where texts are converted
  std::size_t FNbCaptures = 0;

  std::array<bool, NombreOptions> FOptionVue{};
  std::array<bool, NombreBooleens> FBooleens{};
  std::array<std::string, NombreOptions> FTexteOption;
  std::array<bool, 3> FEtiquetteVue{};
  std::array<bool, 3> FCanevasVu{};

  bool FJonctionsFixees = false;
  bool FAvecCache = false;
  std::string FVisible, FCache;
  bool FVu0 = false, FVu1 = false, FPremierItem = true, FCacheItem = false, FCarteEnAttente = false;
  std::string FChamp0, FChamp1, FChamp2;
  std::vector<std::pair<bool, std::string>> FItems;
  std::vector<TCarteEnAttente> FAttente;
};

}  // namespace

void TFichierXML::Ouvre(std::string_view octets, bool complet, EVarianteModele variante, const TReglages& r) {
  TLecteurXML lecteur(*this, complet, variante, r);
  try {
    lecteur.Analyse(octets);
  } catch (...) {
    FFichier = nullptr;  // nothing half-built is kept
    FLu.reset();
    throw;
  }
  FFichier->FModifie = false;
}

std::unique_ptr<TFichierX> LitFichierXMLOctets(std::string_view octets, bool complet, EVarianteModele variante,
                                               const TReglages& r) {
  return DecodeFichier<TFichierXML>("", octets, complet, variante, r);
}

std::unique_ptr<TFichierX> LitFichierXML(const std::string& chemin, bool ecriture, bool complet,
                                         EVarianteModele variante, const TReglages& r) {
  if (variante == EVarianteModele::Questionnaire) ecriture = false;  // the player never writes
  return LitFichierAvec<TFichierXML>(chemin, ecriture, complet, complet, variante, r);
}
