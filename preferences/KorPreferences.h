#pragma once
// The preferences program's logic: what its window shows of the settings, which group (player,
// editor) each change marks, what OK copies into the settings and writes, and what Défaut deletes.
// It runs on the window's thread and talks to the window only through IVuePreferences, so that
// it can be driven without a window.

#include <cstdint>
#include <string>

#include "cards/KorInit.h"

// The controls that hold a text: the edits, and the note under the CSV separator (LComma).
enum class ETexte {
  Egood, Ebad, EMean, Eignor, EConj, EPonct, EHost,                   // player group
  EListeTypes, EXslFil, EMcqOr, EMcqFra, ECsvTyp, EComma, LComma      // editor group
};
// The check boxes.
enum class ECase {
  CBMenu, CBPref, CBCtrlAltP, CBCtrlA, CBMaxHun, CBRepUnf,            // player group
  CBNouvFiche, CBDimOrig, CBTypeUnique, CBTexte,                      // editor group
  CBRepertoire, CBNotes, CBFourreTout, CBQuestionnaire, CBQCM, CBListes  // the six type boxes
};
// The controls with an item index: the three radio groups and the drop-down list of formats.
enum class EChoix { RGXmlUtf, RGRetour, RGCsvUtf, CBMcqFormat };
// The two font previews.
enum class EApercu { EPolice, EPoliceL };

// Modifiers held with a key, as bits.
struct EModificateur {
  static constexpr unsigned Ctrl = 1, Maj = 2, Alt = 4, Meta = 8;
};

// The six type boxes, in the order they are checked, with their letters.
struct TCaseType {
  ECase Case;
  char Lettre;
};
inline constexpr TCaseType CasesTypes[] = {
    {ECase::CBRepertoire, 'R'}, {ECase::CBNotes, 'N'}, {ECase::CBFourreTout, 'F'},
    {ECase::CBQuestionnaire, 'Q'}, {ECase::CBQCM, 'M'}, {ECase::CBListes, 'L'}};

// The items of CBMcqFormat; the first one stands for no format of choice.
inline constexpr const char* FormatsMoodle[] = {"[défaut]", "html", "moodle_auto_format", "plain_text",
                                                "markdown"};  // UTF-8: shown as they stand

// The window as the logic sees it. Texts are 1252 bytes.
class IVuePreferences {
 public:
  virtual ~IVuePreferences() = default;
  virtual std::string Texte(ETexte controle) const = 0;
  virtual void FixeTexte(ETexte controle, const std::string& texte) = 0;
  virtual bool Coche(ECase controle) const = 0;
  virtual void FixeCoche(ECase controle, bool coche) = 0;
  virtual void ActiveCase(ECase controle, bool active) = 0;
  // The item index; -1 when no item is selected.
  virtual int Indice(EChoix controle) const = 0;
  virtual void FixeIndice(EChoix controle, int indice) = 0;
  // A preview shows the font's name in that font.
  virtual void AffichePolice(EApercu apercu, const std::string& nom, int taille) = 0;
  // The font dialog, starting from this font; true and the choice on OK.
  virtual bool DialoguePolice(std::string& nom, int& taille) = 0;
  // Shows the player group's tabs (Messages active) or the editor group's (Types active) only.
  virtual void AfficheOnglets(bool modeJeu) = 0;
  virtual void DonneFocusOK() = 0;
  // A message box with an error icon and an OK button.
  virtual void MessageErreur(const std::string& texte) = 0;
  // The confirmation box ("Confirmation", question icon, OK and Annuler); true on OK.
  virtual bool Confirme(const std::string& texte) = 0;
  // Closes the window, which ends the program.
  virtual void Ferme() = 0;
};

class TPreferences {
 public:
  // reglages: the settings shown and changed (the program's own ones).
  explicit TPreferences(IVuePreferences& vue, TReglages& reglages);
  TPreferences(const TPreferences&) = delete;
  TPreferences& operator=(const TPreferences&) = delete;

  // The window shown: fills the controls, forgets the changes that the filling caused, and shows
  // the group of the first type in use.
  void FormShow();
  // A key pressed anywhere in the window: Ctrl+B alone switches the groups shown.
  void FormKeyDown(int touche, unsigned modificateurs);

  // Change handlers. A change that the logic itself makes to a control is not one of the user's
  // and is ignored here: the logic already follows it through.
  void ModifieJeu();
  void CBMenuClick();
  void ModifieEditeur();
  void EListeTypesChange();
  void CBTypeClick(ECase caseType);
  void BPoliceClick();
  void BPoliceLClick();

  // OK: copies the changed groups into the settings and writes them, then closes. When the store
  // refuses, says so and keeps the window open with everything as typed.
  void BOKClick();
  // Défaut: after a confirmation, deletes every setting and closes; says so when it cannot.
  void BDefautClick();

  bool ModeJeu() const { return FModeJeu; }
  bool JeuModifie() const { return FJeuModifie; }
  bool EditeurModifie() const { return FEditeurModifie; }

 private:
  void AfficheOnglets();
  void ActiveOptionsMenu();
  void ActiveCasesTypes();
  void CocheCasesTypes();
  void AffichePolices();
  void ChoisitPolice(std::string& nom, std::int32_t& taille);
  // The logic's own changes to the controls, each made only when it changes something.
  void FixeTexte(ETexte controle, const std::string& texte);
  void FixeCoche(ECase controle, bool coche);
  // The player group, the editor group as OK copies them into r.
  void CopieJeu(TReglages& r) const;
  void CopieEditeur(TReglages& r) const;

  IVuePreferences& FVue;
  TReglages& FReglages;
  bool FModeJeu = false;
  bool FJeuModifie = false;
  bool FEditeurModifie = false;
  int FMiseAJour = 0;  // > 0 while the logic itself changes controls
};

// Functions of the module.
bool EstMajuscule(char c);
// The text keeping only the characters for which garde holds, in their order.
std::string FiltreCaracteres(const std::string& texte, bool (*garde)(char));
// The locale's list separator, named when it is a comma or a semicolon (1252).
std::string NomSeparateurListe();
// Adds the letter at the end of the list (when it is not there and the list stays within limite)
// or deletes its first occurrence.
void BasculeLettre(char lettre, bool present, std::string& liste, std::size_t limite = 255);
// The number of separators typed for new QCM cards: a decimal integer (blanks around it
// allowed); 0 when the text is none, does not fit 32 bits, or is negative.
std::int32_t NombreSaisi(const std::string& texte);
