#include "preferences/KorPreferences.h"

#include <charconv>

#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Registre.h"

namespace {

constexpr std::size_t LongueurListeLettres = 255;

// While it lives, the changes that the controls report are the logic's own.
class TMiseAJour {
 public:
  explicit TMiseAJour(int& compteur) : FCompteur(compteur) { ++FCompteur; }
  ~TMiseAJour() { --FCompteur; }
  TMiseAJour(const TMiseAJour&) = delete;
  TMiseAJour& operator=(const TMiseAJour&) = delete;

 private:
  int& FCompteur;
};

char LettreDe(ECase caseType) {
  for (const auto& c : CasesTypes)
    if (c.Case == caseType) return c.Lettre;
  return 0;
}

// The settings file's name, as a message shows it.
std::string NomMagasin() { return ansi::Utf8VersAnsi(TRegistre::CheminFichier()); }

}  // namespace

bool EstMajuscule(char c) { return c >= 'A' && c <= 'Z'; }

std::string FiltreCaracteres(const std::string& texte, bool (*garde)(char)) {
  std::string s;
  s.reserve(texte.size());
  for (char c : texte)
    if (garde(c)) s += c;
  return s;
}

std::string NomSeparateurListe() {
  const std::string s = SeparateurListe();
  if (s == ",") return "virgule";
  if (s == ";") return "point-virgule";
  return s;
}

void BasculeLettre(char lettre, bool present, std::string& liste, std::size_t limite) {
  const auto position = liste.find(lettre);
  if (present && position == std::string::npos) {
    if (liste.size() + 1 <= limite) liste += lettre;
  } else if (!present && position != std::string::npos) {
    liste.erase(position, 1);
  }
}

std::int32_t NombreSaisi(const std::string& texte) {
  const std::string t = Rogne(texte);
  const char* debut = t.data();
  const char* fin = debut + t.size();
  if (debut != fin && *debut == '+') ++debut;
  std::int32_t n = 0;
  const auto [p, ec] = std::from_chars(debut, fin, n);
  if (debut == fin || ec != std::errc() || p != fin) return 0;
  // A negative count of separators means none.
  return n < 0 ? 0 : n;
}

TPreferences::TPreferences(IVuePreferences& vue, TReglages& reglages) : FVue(vue), FReglages(reglages) {}

void TPreferences::FixeTexte(ETexte controle, const std::string& texte) {
  if (FVue.Texte(controle) != texte) FVue.FixeTexte(controle, texte);
}

void TPreferences::FixeCoche(ECase controle, bool coche) {
  if (FVue.Coche(controle) != coche) FVue.FixeCoche(controle, coche);
}

void TPreferences::FormShow() {
  const TReglages& r = FReglages;
  {
    TMiseAJour miseAJour(FMiseAJour);
    // The player group.
    FixeTexte(ETexte::Eignor, r.MotsIgnores);
    FixeTexte(ETexte::Egood, r.MessageBon);
    FixeTexte(ETexte::Ebad, r.MessageMauvais);
    FixeTexte(ETexte::EMean, r.MessageMoyen);
    FixeTexte(ETexte::EConj, r.Conjonction);
    FixeTexte(ETexte::EPonct, r.Ponctuation);
    FixeCoche(ECase::CBCtrlA, r.CtrlAAccepte);
    FixeCoche(ECase::CBPref, r.MenuPreferencesVisible);
    FixeCoche(ECase::CBCtrlAltP, r.CtrlAltPBascule);
    FixeCoche(ECase::CBMenu, r.BarreMenu);
    ActiveOptionsMenu();
    FixeTexte(ETexte::EHost, r.HoteFeuilleNotes);
    FixeCoche(ECase::CBMaxHun, r.NoteSur100);
    FixeCoche(ECase::CBRepUnf, r.RapporteInterrompues);

    AffichePolices();
    FVue.DonneFocusOK();

    // The editor group.
    FixeCoche(ECase::CBTypeUnique, !r.TousTypes);
    CocheCasesTypes();
    ActiveCasesTypes();
    FixeTexte(ETexte::EXslFil, r.FeuilleStyleDefaut);
    FVue.FixeIndice(EChoix::RGXmlUtf, r.XMLUtf8 ? 1 : 0);
    FVue.FixeIndice(EChoix::RGRetour, r.XMLLFSeul ? 1 : 0);
    FixeTexte(ETexte::EMcqOr, r.SeparateurQCM);
    FixeTexte(ETexte::EMcqFra, std::to_string(r.NombreSeparateursQCM));
    // A format of choice that is none of the list shows no item. Items 1 to 4 are ASCII.
    int format = -1;
    if (r.FormatQCM.empty()) {
      format = 0;
    } else {
      for (int i = 1; i < static_cast<int>(std::size(FormatsMoodle)); ++i)
        if (r.FormatQCM == FormatsMoodle[i]) {
          format = i;
          break;
        }
    }
    FVue.FixeIndice(EChoix::CBMcqFormat, format);
    FixeCoche(ECase::CBTexte, r.FormatsUtilises.find('t') != std::string::npos);
    FixeTexte(ETexte::EComma, r.TexteSeparateurCSV);
    FixeTexte(ETexte::ECsvTyp, r.TypesCSV);
    FVue.FixeIndice(EChoix::RGCsvUtf, r.CSVUtf8 ? 1 : 0);
    FixeCoche(ECase::CBNouvFiche, r.NouvelleFicheSiNouveauFichier);
    // CBDimOrig is unchecked at every start.
    FixeCoche(ECase::CBDimOrig, false);
    FixeTexte(ETexte::LComma,
              "Laisser blanc pour " + NomSeparateurListe() + "\n\\t pour tabulation, \\s pour espace");
  }
  FJeuModifie = false;
  FEditeurModifie = false;
  FModeJeu = PremierCaractere(r.TypesUtilises) == 'Q';
  AfficheOnglets();
}

void TPreferences::FormKeyDown(int touche, unsigned modificateurs) {
  // Ctrl+B and only it: Ctrl+Shift+B and the like do nothing. The group marks stay as they are.
  if (touche != 'B' || modificateurs != EModificateur::Ctrl) return;
  FModeJeu = !FModeJeu;
  AfficheOnglets();
}

void TPreferences::AfficheOnglets() { FVue.AfficheOnglets(FModeJeu); }

void TPreferences::ModifieJeu() {
  if (FMiseAJour == 0) FJeuModifie = true;
}

void TPreferences::CBMenuClick() {
  if (FMiseAJour > 0) return;
  ActiveOptionsMenu();
  FJeuModifie = true;
}

void TPreferences::ActiveOptionsMenu() {
  // The three boxes keep their marks while greyed; OK stores them.
  const bool barre = FVue.Coche(ECase::CBMenu);
  for (ECase c : {ECase::CBCtrlA, ECase::CBPref, ECase::CBCtrlAltP}) FVue.ActiveCase(c, barre);
}

void TPreferences::ModifieEditeur() {
  if (FMiseAJour == 0) FEditeurModifie = true;
}

void TPreferences::EListeTypesChange() {
  if (FMiseAJour > 0) return;
  TMiseAJour miseAJour(FMiseAJour);
  std::string& types = FReglages.TypesUtilises;
  types = FVue.Texte(ETexte::EListeTypes).substr(0, LongueurListeLettres);
  CocheCasesTypes();
  ActiveCasesTypes();
  FEditeurModifie = true;
}

void TPreferences::CBTypeClick(ECase caseType) {
  if (FMiseAJour > 0) return;
  const char lettre = LettreDe(caseType);
  if (lettre == 0) return;
  TMiseAJour miseAJour(FMiseAJour);
  BasculeLettre(lettre, FVue.Coche(caseType), FReglages.TypesUtilises, LongueurListeLettres);
  // A letter that a full list could not take leaves its box unchecked.
  CocheCasesTypes();
  ActiveCasesTypes();
  FEditeurModifie = true;
}

void TPreferences::CocheCasesTypes() {
  const std::string& types = FReglages.TypesUtilises;
  for (const auto& c : CasesTypes) FixeCoche(c.Case, types.find(c.Lettre) != std::string::npos);
}

void TPreferences::ActiveCasesTypes() {
  const std::string& types = FReglages.TypesUtilises;
  FixeTexte(ETexte::EListeTypes, types);
  // The last type of the list cannot be removed with the boxes.
  const bool plusieurs = types.size() > 1;
  for (const auto& c : CasesTypes) FVue.ActiveCase(c.Case, plusieurs || !FVue.Coche(c.Case));
}

void TPreferences::AffichePolices() {
  FVue.AffichePolice(EApercu::EPolice, FReglages.PoliceChamps, FReglages.TaillePoliceChamps);
  FVue.AffichePolice(EApercu::EPoliceL, FReglages.PoliceListe, FReglages.TaillePoliceListe);
}

void TPreferences::ChoisitPolice(std::string& nom, std::int32_t& taille) {
  std::string choixNom = nom;
  int choixTaille = taille;
  if (!FVue.DialoguePolice(choixNom, choixTaille)) return;
  nom = choixNom;
  taille = choixTaille;
  AffichePolices();
  FEditeurModifie = true;
}

void TPreferences::BPoliceClick() { ChoisitPolice(FReglages.PoliceChamps, FReglages.TaillePoliceChamps); }

void TPreferences::BPoliceLClick() { ChoisitPolice(FReglages.PoliceListe, FReglages.TaillePoliceListe); }

void TPreferences::CopieJeu(TReglages& r) const {
  r.MotsIgnores = FVue.Texte(ETexte::Eignor);
  r.MessageBon = FVue.Texte(ETexte::Egood);
  r.MessageMauvais = FVue.Texte(ETexte::Ebad);
  r.MessageMoyen = FVue.Texte(ETexte::EMean);
  r.Conjonction = SansEspaces(FVue.Texte(ETexte::EConj));
  r.Ponctuation = SansEspaces(FVue.Texte(ETexte::EPonct));
  r.CtrlAAccepte = FVue.Coche(ECase::CBCtrlA);
  r.MenuPreferencesVisible = FVue.Coche(ECase::CBPref);
  r.BarreMenu = FVue.Coche(ECase::CBMenu);
  r.HoteFeuilleNotes = FVue.Texte(ETexte::EHost);
  r.NoteSur100 = FVue.Coche(ECase::CBMaxHun);
  r.RapporteInterrompues = FVue.Coche(ECase::CBRepUnf);
  r.CtrlAltPBascule = FVue.Coche(ECase::CBCtrlAltP);
}

void TPreferences::CopieEditeur(TReglages& r) const {
  r.FeuilleStyleDefaut = Rogne(FVue.Texte(ETexte::EXslFil));
  r.XMLUtf8 = FVue.Indice(EChoix::RGXmlUtf) == 1;
  r.XMLLFSeul = FVue.Indice(EChoix::RGRetour) == 1;
  r.TousTypes = !FVue.Coche(ECase::CBTypeUnique);
  r.SeparateurQCM = SansEspaces(FVue.Texte(ETexte::EMcqOr));
  r.TypesUtilises = FiltreCaracteres(r.TypesUtilises, EstMajuscule).substr(0, LongueurListeLettres);
  BasculeLettre('t', FVue.Coche(ECase::CBTexte), r.FormatsUtilises, LongueurListeLettres);
  r.NombreSeparateursQCM = NombreSaisi(FVue.Texte(ETexte::EMcqFra));
  const int format = FVue.Indice(EChoix::CBMcqFormat);
  r.FormatQCM = format >= 1 && format < static_cast<int>(std::size(FormatsMoodle)) ? FormatsMoodle[format] : "";
  r.TexteSeparateurCSV = Rogne(FVue.Texte(ETexte::EComma));
  r.TypesCSV = FiltreCaracteres(FVue.Texte(ETexte::ECsvTyp), EstMajuscule);
  r.CSVUtf8 = FVue.Indice(EChoix::RGCsvUtf) == 1;
  r.DimensionsOriginales = FVue.Coche(ECase::CBDimOrig);
  r.NouvelleFicheSiNouveauFichier = FVue.Coche(ECase::CBNouvFiche);
}

void TPreferences::BOKClick() {
  if (FJeuModifie || FEditeurModifie) {
    // Copied aside first: when the store refuses, the settings and the window stay as they were.
    TReglages r = FReglages;
    if (FJeuModifie) CopieJeu(r);
    if (FEditeurModifie) CopieEditeur(r);
    if (!EcritPreferences(r, FJeuModifie, FEditeurModifie)) {
      FVue.MessageErreur("Les préférences n'ont pas pu être enregistrées dans le fichier \""_a + NomMagasin() +
                         "\".\nVérifiez que ce fichier et son dossier peuvent être modifiés, "
                         "puis cliquez de nouveau sur OK."_a);
      return;
    }
    FReglages = r;
  }
  FVue.Ferme();
}

void TPreferences::BDefautClick() {
  if (!FVue.Confirme("Voulez-vous effacer toutes les préférences\net donc revenir aux valeurs par défaut ?"_a))
    return;
  if (!EffacePreferences()) {
    FVue.MessageErreur("Les préférences n'ont pas pu être effacées : le fichier \""_a + NomMagasin() +
                       "\" ne peut pas être supprimé."_a);
    return;
  }
  FVue.Ferme();
}
