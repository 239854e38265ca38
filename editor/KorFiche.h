#pragma once
// The card editor: the open card file, the card shown, the modes that the file's type gives,
// the display of a file and of a card, the menu items and buttons, validation and commit of
// the shown card, and the file commands (new, open, model, save, save as, export, close). It
// runs on the window's thread and talks to the main window only through IVueFiche, so that
// every rule can be exercised without a window.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "editor/IVueFiche.h"
#include "editor/KorDlgChercherRegles.h"

// ---------------------------------------------------------------------------------------------
// Free routines: letter lists, extensions, filters (KorFicheFichiers.cpp).

// The defaults that an empty or unusable `types` or `frmats` falls back to.
inline const std::string TypesParDefaut = "RNLQM";
inline const std::string FormatsParDefaut = "xscmt";

// Moves the letter to the front of the list, which is cut to 254 letters and to maximum.
void PlaceEnTete(char lettre, std::string& liste, std::size_t maximum = 255);
// The type letters of the list that a card file can have (A to Z), or the defaults when none.
std::string TypesUtilisables(const std::string& liste);
// The format letters of the list that are formats (c, m, n, s, t, x), or the defaults when none.
std::string FormatsUtilisables(const std::string& liste);
// Makes `types` and `frmats` usable for the run (start-up).
void NettoieListesLettres(TReglages& r);

std::string MotifExtension(char format);
std::string ExtensionFichier(char type, char format);
bool FormatNatif(char format);
// One entry of the open dialog for a type, one of the save dialog for a type and a format.
TFiltre FiltreOuverture(char type, const TReglages& r);
TFiltre FiltreSauvegarde(char type, char format);
// The entry in the platform's "description|*.a;*.b" form (cut to 255 characters for an open entry).
std::string TexteFiltre(const TFiltre& filtre);
// The card index remembered for a file: openum, recnum or -1.
int NumeroFicheMemorisee(const std::string& nom, const TReglages& r);
// ContexteAide: 21 for a questionnaire, 31 for a QCM, 1 otherwise.
int ContexteAide(char type);

// ---------------------------------------------------------------------------------------------

// The modes that the open file's type gives (DetermineModes), with the share of the two field
// panels that field 1 gets.
struct TModesFiche {
  bool ChampUneLigne = false;  // field 1 is one line: labels of kind 'O' (without a file: types R, N, L)
  bool FichierTrie = false;    // the cards are kept sorted on field 1
  bool Notes = false;          // type N: cards dated, the newest shown first
  bool Permutable = false;     // fields 1 and 2 may be swapped (types Q and P)
  bool Exportable = false;     // some export format suits the file
  int RatioQuestion = 6;       // field 1's share of both field panels, in twelfths
  friend bool operator==(const TModesFiche&, const TModesFiche&) = default;
};

// The editor of one card file at a time. Its state changes only through its commands; the
// window and the tests read it through the const accessors.
class TEditeur {
 public:
  explicit TEditeur(IVueFiche& vue, TReglages& reglages);
  ~TEditeur();
  TEditeur(const TEditeur&) = delete;
  TEditeur& operator=(const TEditeur&) = delete;

  // Results of DemandeSauvegarde and SauveFichier.
  static constexpr int Sauve = 1;
  static constexpr int Abandon = 2;
  static constexpr int SansSauver = 3;

  // ---- What the editor holds.
  // The open card file, or none.
  const TFichierX* GetFichierCourant() const { return FichierCourant.get(); }
  // The open file's type, or the type proposed for the next file; '?': taken from the file.
  char GetTypeCourant() const { return TypeCourant; }
  // A preference was changed during the run: the preferences are written at exit.
  bool GetReglagesModifies() const { return ReglagesModifies; }
  const TModesFiche& GetModes() const { return Modes; }
  // The card shown: a card of the file, the blank card of an empty file, or none without a file.
  const TFicheX* GetFicheAffichee() const { return FicheAffichee; }
  const TFicheX& GetFicheVierge() const { return FicheVierge; }
  // Index of the card shown, -1 for the blank card.
  int GetIndexCourant() const { return IndexCourant; }
  // The card shown was just added and is not validated yet.
  bool GetNouvelleFicheEnCours() const { return NouvelleFicheEnCours; }
  // The last validation removed an empty new card (and showed its neighbour).
  bool GetFicheSansSaisieSupprimee() const { return FicheSansSaisieSupprimee; }
  const TEtatRecherche& GetRecherche() const { return Recherche; }
  // The search dialog's controls: set up by each file shown, kept between searches.
  const TLogiqueChercher& GetDlgChercher() const { return DlgChercher; }
  TReglages& Reglages() { return FReglages; }
  // The state last given to the window.
  const TEtatItem& Item(EItem item) const { return FItems[static_cast<std::size_t>(item)]; }

  // ---- The window's life.
  // The window's first state, once its controls exist: edits and buttons disabled, the edits
  // read-only, no Edition menu, every item given to the window.
  void Initialise();
  // Runs the command of a menu item or a button (its click). Items without a command here do nothing.
  void ExecuteItem(EItem item);
  // The opening handler of the menus (MenuClick): shows and enables the items.
  void MetAJourMenus();
  // Start-up without a window event: the proposed type and the layout (FormShow without a file).
  void DemarreSansFichier();
  // FormShow: the fonts, stay on top, the check marks, and the file to open at start (the
  // command line's, else the remembered one when nombreInstances is 1).
  void FormShow(const std::vector<std::string>& arguments, int nombreInstances);
  // A later start's command line, without the program's name.
  void LigneCommandeRecue(const std::vector<std::string>& arguments);
  // FormCloseQuery: false when the window is to stay open. After the question of a logout, the
  // close that ends the session asks nothing while nothing changed since the answer.
  bool PeutFermer();

  // ---- The desktop's logout (KorFicheFichiers.cpp).
  // The close would ask about the open file: it or the card shown holds changes not saved.
  bool TravailNonSauve() const;
  // The close's question, the file left open: Oui saves it as the close does, Non leaves it as it
  // is on disk. False for Annuler, a card refused or a save not made: the logout is to stop.
  bool QuestionFinDeSession();
  // The session goes on after the answer: the next close asks again.
  void FinDeSessionAbandonnee() { FReponseFinDeSession.reset(); }

  // ---- The card shown (KorFiche.cpp, KorFicheValidation.cpp).
  void AfficheFiche(int index);
  // Stores a title typed in the title edit of a type without field 0.
  void ValideTitreFichier();
  bool FicheModifiee() const;
  // Text typed and not yet stored: in the shown card, or in the title edit.
  bool SaisieNonValidee() const { return FicheModifiee() || FVue.Modifie(EChamp::ETitre); }
  // A new card still as it was added (empty, or the template's texts).
  bool FicheSansSaisie() const;
  bool ValideFiche();  // true = refused
  // Removes the shown card and shows the one shown before a new card, else the same place.
  void SupprimeFiche();

  // ---- Files.
  // A card file made in memory becomes the open one (the open one is forgotten first) and is
  // shown at that card, as a new file is (KorFiche.cpp).
  void MontreFichier(std::unique_ptr<TFichierX> fichier, int index);
  // KorFicheFichiers.cpp. OuvreFichier returns true when a file is open afterwards.
  bool OuvreFichier(const std::string& nom, int index, bool rapport, bool normal, bool editable);
  void LibereFichier();
  int FermeFichier();  // the result of DemandeSauvegarde
  // The letter lists the file commands offer, the format of a new file, the type of a CSV file.
  std::string ListeTypes() const;
  std::string ListeFormatsExport() const;
  std::string ListeFormatsSauvegarde() const;
  char FormatParDefaut() const;
  char TypeCSVParDefaut(const std::string& nom) const;

 private:
  // The commands of the menu items and buttons, run by ExecuteItem.
  // Stepping (KorFiche.cpp).
  void BSuivantClick();
  void BPrecedentClick();
  // Cards (KorFicheValidation.cpp).
  void BNouveauClick() { NouvelleFiche(-1); }
  void BInsererClick() { NouvelleFiche(IndexCourant); }
  void BSupprimerClick();
  // Files (KorFicheFichiers.cpp).
  void Nouveau1Click();
  void Ouvrir1Click(bool normal);
  void Sauver1Click();
  void Sauversous1Click(bool exporte);
  void Fermer1Click() { FermeFichier(); }
  void Ouvert1Click();
  void Recent1Click();
  // Printing, clipboard, fonts, the three preferences, the remaining card commands, help
  // (KorFicheCommandes.cpp).
  void Imprimer1Click();
  void PressePapiers1Click();
  void ListeVersPressePapiers1Click();
  void Police1Click() { ChoisitPolice(EPolice::Champs); }
  void Police2Click() { ChoisitPolice(EPolice::Liste); }
  void Applicationaudessus1Click();
  void Rouvrir1Click();
  void Instanceunique1Click();
  void Premiere1Click();
  void Derniere1Click();
  void PermuterChampsClick();
  void Annuler1Click();
  void Enregistrerlafiche1Click();
  void Proprietes1Click();
  void Apropos1Click();
  void Rubriquesdaide1Click();
  // Commands on the whole file (KorFicheEntete.cpp).
  void Entete1Click();
  void Options1Click();
  void OptionsAvancees1Click();
  void FeuilledeStyle1Click();
  void Etiquettes1Click();
  void Canevas1Click();
  void OptionsCSVClick();
  // Search and the card list (KorFicheRecherche.cpp).
  void Rechercher1Click();
  void Rechsuivant1Click();
  void AbandonRech1Click();
  void Listedesfiches1Click();

  // Display (KorFiche.cpp).
  void DetermineModes();
  void AjustePanneaux();
  void AfficheFichier(int index);
  void AfficheEtiquettes();
  void AfficheTitreFichier();
  void FixeLectureSeule();
  void EffaceModifications();
  void MetAJourBoutons();
  void AfficheTitreFenetre();
  void VideFenetre();
  EBouton MessageAvecTitre(const std::string& texte, const std::string& titre, EGenreMessage icone, EBoutons boutons);
  void MessageErreur(const std::string& texte);
  void FixeItem(EItem item, bool visible, bool actif);
  void FixeItem(EItem item, const TEtatItem& etat);
  TEtatItem& EtatItem(EItem item) { return FItems[static_cast<std::size_t>(item)]; }
  // Validation and commit (KorFicheValidation.cpp).
  bool FicheEgaleCanevas() const;
  void EnregistreFiche();
  void ClasseFiche();
  void NouvelleFiche(int index);
  void AjouteFiche(int index);
  // Files (KorFicheFichiers.cpp).
  bool EstTypeCSV(char type) const;
  bool FormatExportable(char format) const;
  bool FormatPermis(char format) const;
  std::vector<TFiltre> FiltresOuverture(const std::string& types) const;
  int SauveFichier(const std::string& nom, bool demande, bool exporte);  // 1 saved, 2 not
  int DemandeSauvegarde();  // 1, 2 = cancel, 3 = No
  // Closes the open file (asking whether to save it) and opens another one at that card
  // (remembered files, a second start's command line). Name and index are its own copies:
  // closing the open file rewrites the remembered names and indexes they may come from.
  void OuvreAutreFichier(std::string nom, int index);
  // KorFicheCommandes.cpp.
  void ChoisitPolice(EPolice police);
  void Coche(EItem item, bool coche);
  // The window in front or not as AvantPlan says, and the item's check mark.
  void AppliqueAvantPlan();
  // Search (KorFicheRecherche.cpp): the next occurrence, forwards or backwards.
  void ChercheProchaine(bool arriere);

  IVueFiche& FVue;
  TReglages& FReglages;
  std::array<TEtatItem, NombreItems> FItems;

  // Editor state.
  std::unique_ptr<TFichierX> FichierCourant;
  char TypeCourant = '?';
  bool ReglagesModifies = false;
  // The type whose new files get the Moodle format.
  static constexpr char TypeMoodle = 'M';
  bool FicheSansSaisieSupprimee = false;
  char PremierTypeCSV = ' ';
  TModesFiche Modes;

  // The window's fields.
  TFicheX* FicheAffichee = nullptr;
  TFicheX FicheVierge;
  bool NouvelleFicheEnCours = false;
  int IndexCourant = -1;
  int IndexPrecedent = -1;
  TEtatRecherche Recherche;
  TLogiqueChercher DlgChercher;
  // Changes each time the open file is forgotten: a command that showed a modal dialog knows by it
  // whether the file it filled the dialog from is still the one open (a second start's command
  // line may open another file meanwhile, even at the same address).
  unsigned NumeroFichier = 0;
  // Counts the commands run, so that an answer given at a logout is known to still hold.
  unsigned NumeroCommande = 0;
  struct TReponseFinDeSession {
    unsigned Fichier;
    unsigned Commande;
    friend bool operator==(const TReponseFinDeSession&, const TReponseFinDeSession&) = default;
  };
  std::optional<TReponseFinDeSession> FReponseFinDeSession;
  // The answer holds: the same file, no command since, nothing typed since.
  bool ReponseFinDeSessionTient() const;
};
