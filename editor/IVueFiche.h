#pragma once
// The editor's main window as the editor (TEditeur) sees it: three edits with their labels and
// modified flags, the menu items and buttons as data, the caption, message boxes and the
// standard dialogs. Texts are 1252 bytes with CR LF line breaks; file names are UTF-8 paths.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TFichierX;
class TLogiqueChercher;
class TLogiqueEntete;
class TLogiqueEtiquettes;
class TLogiqueOptions;
class TLogiqueOptionsAvancees;
class TLogiqueOptionsCSV;

// Every menu item and button of the main window, under its control's name. The top menus are
// items too (Edition1 is hidden without a file). A new command is a new value here, a state
// in TEditeur::MetAJourMenus, a case in TEditeur::ExecuteItem and a line in the window's table
// of menus (or of buttons), from which the window maps each value to its control once.
enum class EItem {
  // Fichier
  Fichier1, Nouveau1, Ouvrir1, Modele1, Ouvert1, Recent1, Sauver1, Sauversous1, Exporter1, Proprietes1,
  Fermer1, Quitter1,
  // Edition
  Edition1, Premiere1, Derniere1, Precedente1, Suivante1, Listedesfiches1, Rechercher1, Rechsuivant1,
  AbandonRech1, Enregistrerlafiche1, Nouvelle1, Inserer1, Supprimer1, Annuler1, PermuterChamps, Imprimer1,
  PressePapiers1, ListeVersPressepapiers1, Options1, OptionsAvancees1, Entete1, Etiquettes1, Canevas1,
  FeuilledeStyle1,
  // Préférences
  Preferences1, Police1, Champs1, Liste1, Applicationaudessus1, Rouvrir1, Instanceunique1, OptionsCSV,
  // Aide
  Aide1, Rubriquesdaide1, Apropos1,
  // The six buttons of the bottom row
  BPrecedent, BSuivant, BNouveau, BInserer, BSupprimer, BChercher,
  Nombre
};
inline constexpr std::size_t NombreItems = static_cast<std::size_t>(EItem::Nombre);

// The state of one item, computed by the editor and applied by the window.
struct TEtatItem {
  bool Visible = true;
  bool Actif = true;
  bool Coche = false;
  std::string Legende;  // empty: the item keeps its own caption
  friend bool operator==(const TEtatItem&, const TEtatItem&) = default;
};

// The two fonts: the card fields (and printing), the card list.
enum class EPolice { Champs, Liste };

// The three edits: field 0 (or the file's title), field 1, field 2.
enum class EChamp { ETitre, MQuestion, MReponse };

// Where the keyboard focus goes.
enum class ECibleFocus { Boutons, ETitre, MQuestion, MReponse };

// Message boxes: the icon, the button set, the button pressed.
enum class EGenreMessage { Avertissement, Erreur, Information, Question };
enum class EBoutons { Ok, OkAnnuler, OuiNon, OuiNonAnnuler, Annuler, OuiNonAbandonner };
enum class EBouton { Ok, Annuler, Oui, Non, Abandonner };

// How the card list closed: Enter, F12 or a double-click (OK), Esc (Abandon), the close box.
enum class EResultatListe { OK, Abandon, Fermeture };

// One entry of an open or save dialog's list of filters: "Questionnaire", {"*.xkqq", "*.kqq"}.
struct TFiltre {
  std::string Description;
  std::vector<std::string> Motifs;
  friend bool operator==(const TFiltre&, const TFiltre&) = default;
};

// What the open dialog gives back.
struct TChoixOuverture {
  std::string Nom;           // the chosen file
  int Filtre = 0;            // index of the chosen filter entry
  bool LectureSeule = false; // the read-only box was ticked
};

// What the save dialog gives back.
struct TChoixSauvegarde {
  std::string Nom;
  int Filtre = 0;
};

// How the window lays out the field panels for the open file (or the type proposed).
struct TDisposition {
  bool TitreVisible = true;  // Panel1, the title row
  bool ChampUneLigne = false;  // field 1 one line high, no splitter, Tab typed in field 2
  int RatioQuestion = 6;       // field 1's share of both field panels, in twelfths
  friend bool operator==(const TDisposition&, const TDisposition&) = default;
};

class IVueFiche {
 public:
  virtual ~IVueFiche() = default;

  // The edits. FixeTexte never changes an edit's modified flag: only the user's typing sets it.
  virtual void FixeTexte(EChamp champ, const std::string& texte) = 0;
  virtual std::string Texte(EChamp champ) const = 0;
  virtual bool Modifie(EChamp champ) const = 0;
  virtual void FixeModifie(EChamp champ, bool modifie) = 0;
  virtual void FixeActif(EChamp champ, bool actif) = 0;
  virtual void FixeLectureSeule(EChamp champ, bool lectureSeule) = 0;
  // The label on the left of an edit.
  virtual void FixeEtiquette(EChamp champ, const std::string& texte) = 0;
  virtual void DonneFocus(ECibleFocus cible) = 0;

  // Menus, buttons, caption, layout, help context.
  virtual void FixeItem(EItem item, const TEtatItem& etat) = 0;
  virtual void FixeTitreFenetre(const std::string& titre) = 0;
  // Lays the panels out again (AjustePanneaux): also on every resize and font change.
  virtual void FixeDisposition(const TDisposition& disposition) = 0;
  virtual void FixeContexteAide(int contexte) = 0;

  // MessageAvecTitre: a modal box centred on the screen; caption empty = the caption of the
  // icon's kind. Returns the button pressed (Annuler when the box is closed otherwise).
  virtual EBouton Message(const std::string& texte, const std::string& titre, EGenreMessage icone,
                          EBoutons boutons) = 0;
  // The open dialog, the first entry selected, showing the folder dossier (empty: the user's
  // home); false on Cancel.
  virtual bool DialogueOuvrir(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                              const std::string& dossier, TChoixOuverture& choix) = 0;
  // The save dialog with the proposed name, the first entry selected, no overwrite question of
  // its own; false on Cancel.
  virtual bool DialogueSauver(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                              const std::string& nomPropose, TChoixSauvegarde& choix) = 0;
  // TDlgNouveau: the type names, the first selected; false on Cancel, else index := the choice.
  virtual bool DialogueNouveau(const std::vector<std::string>& types, int& index) = 0;
  // The current date and time in the user's short-date and long-time formats.
  virtual std::string DateHeure() const = 0;
  // Closes the main window (its close question runs TEditeur::FermeFichier).
  virtual void FermeFenetre() = 0;

  // Printing, the clipboard, the fonts, stay on top and help (TEditeur's commands of
  // KorFicheCommandes.cpp). A view without these does nothing and cancels every dialog.
  // The print dialog; false on Cancel.
  virtual bool DialogueImpression() { return false; }
  // One print job of these lines in the field font: empty when printed, else the output error.
  virtual std::string Imprime(const std::vector<std::string>&) { return {}; }
  // The lines an edit shows, word-wrapped lines included (the title edit: its one line).
  virtual std::vector<std::string> LignesAffichees(EChamp champ) const { return {Texte(champ)}; }
  // The clipboard receives this text as plain text.
  virtual void FixePressePapiers(const std::string&) {}
  // The font dialog, opened on this name and size with its other attributes as last chosen;
  // false on Cancel, else nom and taille := the choice, which the view keeps whole for
  // AppliquePoliceChoisie.
  virtual bool DialoguePolice(EPolice, std::string&, std::int32_t&) { return false; }
  // The whole font last chosen in the dialog (style and colour too) is given to its controls.
  virtual void AppliquePoliceChoisie(EPolice) {}
  // A font of the settings is given to its controls, readable whatever name and size they hold.
  virtual void AppliquePolice(EPolice, const std::string&, std::int32_t) {}
  // The window stays in front of the others, or not, without moving or resizing.
  virtual void FixeAvantPlan(bool) {}
  // The help file at this context.
  virtual void AfficheAide(int) {}
  // The whole-file dialogs, shown modally over their rules' state as the editor filled it; each
  // forwards the user's changes to it. True when closed with OK after a change (the editor then
  // stores the state); without a window, nothing is ever stored.
  virtual bool DialogueEntete(TLogiqueEntete&) { return false; }
  virtual bool DialogueOptions(TLogiqueOptions&) { return false; }
  virtual bool DialogueOptionsAvancees(TLogiqueOptionsAvancees&) { return false; }
  virtual bool DialogueEtiquettes(TLogiqueEtiquettes&) { return false; }
  virtual bool DialogueOptionsCSV(TLogiqueOptionsCSV&) { return false; }
  // The search dialog: its controls are read back into the state whatever the result; true on
  // "Chercher".
  virtual bool DialogueChercher(TLogiqueChercher&) { return false; }
  // The one-line input box holding texte; true and texte := the typed text on OK.
  virtual bool SaisieTexte(const std::string& /*titre*/, const std::string& /*invite*/, std::string& /*texte*/) {
    return false;
  }
  // The card list of the file, shown modally on that line; each line the user chooses (mouse,
  // arrow keys) calls selection with its card index at once.
  virtual EResultatListe DialogueListe(const TFichierX&, int /*ligne*/, const std::function<void(int)>& /*selection*/) {
    return EResultatListe::Fermeture;
  }
  // The cards of the open file changed, or the file was closed (null), while the list may be shown.
  virtual void ListeFichierChange(const TFichierX*) {}
};
