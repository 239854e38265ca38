// The Moodle quiz reader: every "question" directly under the root "quiz" becomes one card of
// a type M card file, its kind, fractions, feedback, pairs and unit written back into the card
// texts as the writer's markers, so that saving the file again writes the same questions.
// The quiz is read as a stream over libxml2's SAX2 parse (no tree): each card is built while
// its question's elements arrive and added when the question ends.

#include <optional>
#include <vector>

#include "cards/KorAnalyseXml.h"
#include "cards/KorSauvegarde.h"
#include "exchange/KorMoodle.h"
#include "platform/Ansi.h"

namespace {

std::string MessagePasMoodle() { return "Pas un fichier Moodle valide !"; }

// The path shortened against the previous one: each level it shares with it becomes one '/'.
std::string AbregerCategorie(const std::string& chemin, std::string& precedent) {
  std::size_t n = 0, dernier = 0;
  for (std::size_t i = 0; i < chemin.size(); ++i) {
    if (i >= precedent.size()) {
      if (chemin[i] == '/') {
        ++n;
        dernier = i;
      }
      break;
    }
    if (chemin[i] != precedent[i]) break;
    if (chemin[i] == '/') {
      ++n;
      dernier = i;
    }
  }
  precedent = chemin;
  return n > 0 ? std::string(n, '/') + chemin.substr(dernier + 1) : chemin;
}

// What an element stands for in the question being read. Those that take a text take that of
// their first "text" child ("./text[0]"); "single" and "unit_name" take their own.
enum class ERole : unsigned char {
  Aucun, Question, Categorie, Nom, TexteQuestion, Seule, Reponse, SousQuestion, ReponseSousQuestion,
  Modele, Retour, Unites, Unite, NomUnite
};

struct TNiveau {
  ERole Role = ERole::Aucun;
  bool AttendTexte = false;  // its first "text" child is still to come
};

class TLecteurMoodle final : public TAnalyseXml {
 public:
  explicit TLecteurMoodle(TFichierMoodle& moodle, const TReglages& r) : M(moodle), R(r) {
    FSansTexte = true;  // text matters only inside an element being read
  }

 protected:
  void DebutElement(std::string_view nom, bool prefixe, const TAttributsXml& attributs) override {
    const std::size_t d = FNiveaux.size();
    FNiveaux.emplace_back();
    if (d == 0) {
      Racine(nom, prefixe);
      return;
    }
    if (!FLecture || FCapture || prefixe) return;
    TNiveau& parent = FNiveaux[d - 1];
    if (parent.AttendTexte && nom == "text") {
      parent.AttendTexte = false;
      Capture(parent.Role);
      return;
    }
    TNiveau& n = FNiveaux[d];
    switch (parent.Role) {
      case ERole::Aucun:
        if (d == 1 && nom == "question") DebutQuestion(attributs, n);
        break;
      case ERole::Question: EnfantDeQuestion(nom, attributs, n); break;
      case ERole::SousQuestion:
        if (nom == "answer" && !FReponseSousQuestionVue) {
          FReponseSousQuestionVue = true;
          n = {ERole::ReponseSousQuestion, true};
        }
        break;
      case ERole::Unites:
        if (nom == "unit" && !FUniteVue) {
          FUniteVue = true;
          n.Role = ERole::Unite;
        }
        break;
      case ERole::Unite:
        if (nom == "unit_name" && !FUniteTrouvee) {
          FUniteTrouvee = true;
          Capture(ERole::NomUnite);
        }
        break;
      default: break;
    }
  }

  void FinElement() override {
    const std::size_t d = FNiveaux.size() - 1;
    const ERole role = FNiveaux[d].Role;
    FNiveaux.pop_back();
    if (!FLecture) return;
    if (FCapture && d == FProfondeurCapture) {
      FCapture = false;
      FSansTexte = true;
      Termine();
      return;
    }
    if (FCapture) return;
    if (role == ERole::Reponse) {
      if (FNumerique)
        FItemsNumeriques.push_back(FPrefixe + FTexteReponse);
      else
        AjouteItem(FPrefixe, FTexteReponse);
    } else if (role == ERole::SousQuestion) {
      if (FReponseSousQuestionVue) {
        FTexteSousQuestion += ' ';
        FTexteSousQuestion += M.FAppariement;
        FTexteSousQuestion += ' ';
        FTexteSousQuestion += FTexteReponseSousQuestion;
      }
      AjouteItem(FTexteSousQuestion);
    } else if (role == ERole::Question) {
      FinQuestion();
    }
  }

  void Texte(std::string_view utf8) override {
    if (FCapture) FBrut.append(utf8);
  }
  // A reference to an entity of the document's own DTD is kept as written: it is not expanded,
  // so a small file cannot grow into a huge text.
  void Reference(std::string_view nom) override {
    if (!FCapture) return;
    FBrut += '&';
    FBrut.append(nom);
    FBrut += ';';
  }
  void Instruction(std::string_view, const char*) override {}
  void Commentaire() override {}

 private:
  void Racine(std::string_view nom, bool prefixe) {
    if (prefixe || nom != "quiz") {
      FRefus = MessagePasMoodle();
      return;
    }
    M.FLu = std::make_unique<TFichierX>('M', 'm', EVarianteModele::Complet, R);
    M.FFichier = M.FLu.get();
    F = M.FFichier;
    M.PrepareMarques(R);
    M.FSeparateur = F->FEspacement + M.FSeparateur + F->FEspacement;
    M.FOuvreRetour += F->FEspacement;
    M.FFermeRetour = F->FEspacement + M.FFermeRetour;
    FNiveaux.front().Role = ERole::Aucun;
    FLecture = true;
  }

  void DebutQuestion(const TAttributsXml& attributs, TNiveau& n) {
    if (!attributs.Valeur("type", FValeur, true)) {
      // The type cannot be taken as a text: the file is refused, once it is known well-formed.
      FRefus = MessagePasMoodle();
      FLecture = false;
      return;
    }
    n.Role = ERole::Question;
    FType = ansi::Utf8VersAnsi(FValeur);
    FCategorie = FType == "category";
    FAppariements = FType == "matching";
    FEssai = FType == "essay";
    FNumerique = FType == "numerical";
    FFractionDefaut = FractionParDefaut(FType);
    FSeule = FSeuleVue = FCategorieVue = FNomVu = FTexteQuestionVu = FModeleVu = FRetourVu = FUniteTrouvee = false;
    FChemin.clear();
    FChamp0.clear();
    FTexteQuestion.clear();
    FChamp2.clear();
    FModele.clear();
    FRetour.clear();
    FUnite.clear();
    FItemsNumeriques.clear();
  }

  void EnfantDeQuestion(std::string_view nom, const TAttributsXml& attributs, TNiveau& n) {
    auto premier = [&](bool& vu, ERole role) {
      if (vu) return;
      vu = true;
      n = {role, true};
    };
    if (nom == "single") {
      if (!FSeuleVue) {
        FSeuleVue = true;
        Capture(ERole::Seule);
      }
    } else if (FCategorie) {
      if (nom == "category") premier(FCategorieVue, ERole::Categorie);
    } else if (nom == "name") {
      premier(FNomVu, ERole::Nom);
    } else if (nom == "questiontext") {
      premier(FTexteQuestionVu, ERole::TexteQuestion);
    } else if (nom == "generalfeedback") {
      premier(FRetourVu, ERole::Retour);
    } else if (FAppariements) {
      if (nom == "subquestion") {
        n = {ERole::SousQuestion, true};
        FTexteSousQuestion.clear();
        FTexteReponseSousQuestion.clear();
        FReponseSousQuestionVue = false;
      }
    } else if (FEssai) {
      if (nom == "responsetemplate") premier(FModeleVu, ERole::Modele);
    } else if (nom == "answer") {
      n = {ERole::Reponse, true};
      std::optional<std::string> fraction;
      if (attributs.Valeur("fraction", FValeur, true)) fraction = ansi::Utf8VersAnsi(FValeur);
      FPrefixe = M.MarqueDe(fraction, FFractionDefaut, "100");
      FTexteReponse.clear();
    } else if (nom == "units" && FNumerique && !FUniteTrouvee) {
      // "./units/unit[0]/unit_name": the name in the first unit of a "units" child.
      n.Role = ERole::Unites;
      FUniteVue = false;
    }
  }

  void Capture(ERole role) {
    FCapture = true;
    FSansTexte = false;
    FProfondeurCapture = FNiveaux.size() - 1;
    FRoleCapture = role;
    FBrut.clear();
  }

  // The text of the element, its line breaks as CR LF (the unit's as they stand).
  void Termine() {
    if (FRoleCapture == ERole::Seule) {
      FSeule = FBrut == "true";
      return;
    }
    if (FRoleCapture == ERole::NomUnite) {
      FUnite.clear();
      ansi::AjouteUtf8EnAnsi(FUnite, FBrut, false, FBrouillon);
      return;
    }
    std::string texte;
    ansi::AjouteUtf8EnAnsi(texte, FBrut, true, FBrouillon);
    switch (FRoleCapture) {
      case ERole::Categorie: FChemin = std::move(texte); break;
      case ERole::Nom: FChamp0 = std::move(texte); break;
      case ERole::TexteQuestion: FTexteQuestion = std::move(texte); break;
      case ERole::Reponse: FTexteReponse = std::move(texte); break;
      case ERole::SousQuestion: FTexteSousQuestion = std::move(texte); break;
      case ERole::ReponseSousQuestion: FTexteReponseSousQuestion = std::move(texte); break;
      case ERole::Modele: FModele = std::move(texte); break;
      case ERole::Retour: FRetour = std::move(texte); break;
      default: break;
    }
  }

  // An empty first item leaves no trace; an empty later one leaves a separator. The item (made
  // of two parts at most) is appended in place: a question may hold a great many.
  void AjouteItem(std::string_view item, std::string_view suite = {}) {
    if (!FChamp2.empty()) FChamp2 += M.FSeparateur;
    FChamp2 += item;
    FChamp2 += suite;
  }

  void FinQuestion() {
    std::string type = FType;
    if (type == "multichoice" && FSeule) type = "singlechoice";
    std::string champ1 = M.MarqueDe(type, "", "");
    if (FCategorie) {
      if (!FCategorieVue) return;
      F->AjouteFiche(std::string(1, F->FCategorie) + " " + AbregerCategorie(FChemin, FCheminPrecedent), champ1, "");
      return;
    }
    champ1 += FTexteQuestion;
    if (FEssai) FChamp2 = FModele;
    for (const std::string& item : FItemsNumeriques) AjouteItem(FUnite.empty() ? item : item + " " + FUnite);
    if (!FRetour.empty()) AjouteItem(M.FOuvreRetour + FRetour + M.FFermeRetour);
    F->AjouteFiche(FChamp0, champ1, FChamp2);
  }

  TFichierMoodle& M;
  const TReglages& R;
  TFichierX* F = nullptr;
  bool FLecture = false;  // inside an accepted root, no question refused
  std::vector<TNiveau> FNiveaux;
  std::string FValeur;

  bool FCapture = false;
  std::size_t FProfondeurCapture = 0;
  ERole FRoleCapture = ERole::Aucun;
  std::string FBrut;  // UTF-8
  std::string FBrouillon;  // where texts are converted

  std::string FCheminPrecedent;
  // The question being read.
  std::string FType, FFractionDefaut, FPrefixe;
  bool FCategorie = false, FAppariements = false, FEssai = false, FNumerique = false;
  bool FSeule = false, FSeuleVue = false, FCategorieVue = false, FNomVu = false, FTexteQuestionVu = false;
  bool FModeleVu = false, FRetourVu = false, FUniteVue = false, FUniteTrouvee = false;
  bool FReponseSousQuestionVue = false;
  std::string FChemin, FChamp0, FTexteQuestion, FChamp2, FModele, FRetour, FUnite;
  std::string FTexteReponse, FTexteSousQuestion, FTexteReponseSousQuestion;
  std::vector<std::string> FItemsNumeriques;  // the answers, until the unit is known
};

}  // namespace

void TFichierMoodle::Ouvre(std::string_view octets, const TReglages& r) {
  TLecteurMoodle lecteur(*this, r);
  try {
    lecteur.Analyse(octets);
  } catch (...) {
    FFichier = nullptr;  // nothing half-built is kept
    FLu.reset();
    throw;
  }
  FFichier->FModifie = false;
}

std::unique_ptr<TFichierX> LitFichierMoodleOctets(std::string_view octets, const TReglages& r) {
  return DecodeFichier<TFichierMoodle>("", octets, r);
}

std::unique_ptr<TFichierX> LitFichierMoodle(const std::string& chemin, bool ecriture, const TReglages& r) {
  return LitFichierAvec<TFichierMoodle>(chemin, ecriture, true, r);
}
