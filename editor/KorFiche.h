#pragma once
// The card editor: the open card file, the card shown, the modes that the file's type gives,
// the display of a file and of a card, the menu items and buttons, validation and commit of
// the shown card, and the file commands (new, open, model, save, save as, export, close). It
// runs on the window's thread and talks to the main window only through IVueFiche, so that
// every rule can be exercised without a window.

#include <array>
#include <memory>
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

class TEditeur {
 public:
  explicit TEditeur(IVueFiche& vue, TReglages& reglages = ::Reglages());
  ~TEditeur();
  TEditeur(const TEditeur&) = delete;
  TEditeur& operator=(const TEditeur&) = delete;

  // Editor state.
  std::unique_ptr<TFichierX> FichierCourant;
  char TypeCourant = '?';
  bool ReglagesModifies = false;
  int RatioQuestion = 6;
  char TypeMoodle = 'M';
  bool FicheSansSaisieSupprimee = false;
  char PremierTypeCSV = ' ';

  // The window's fields.
  TFicheX* FicheAffichee = nullptr;
  TFicheX FicheVierge;
  bool FichierTrie = false;
  bool Notes = false;
  bool ChampUneLigne = false;
  bool Permutable = false;
  bool Exportable = false;
  bool NouvelleFicheEnCours = false;
  int IndexCourant = -1;
  int IndexPrecedent = -1;
  int IndexDepartRecherche = -1;
  std::string TexteRecherche;
  bool RechercheActive = false;
  bool RespecterCasse = false;
  bool TousChamps = false;
  bool RechercheArriere = false;
  // The search dialog's controls: set up by each file shown, kept between searches.
  TLogiqueChercher DlgChercher;
  // Changes each time the open file is forgotten: a command that showed a modal dialog knows by it
  // whether the file it filled the dialog from is still the one open (a second start's command
  // line may open another file meanwhile, even at the same address).
  unsigned NumeroFichier = 0;

  TReglages& Reglages() { return FReglages; }
  IVueFiche& Vue() { return FVue; }
  // The state last given to the window.
  const TEtatItem& Item(EItem item) const { return FItems[static_cast<std::size_t>(item)]; }

  // The window's first state, once its controls exist: edits and buttons disabled, the edits
  // read-only, no Edition menu, every item given to the window.
  void Initialise();
  // Runs the command of a menu item or a button (its click). Items without a command here do nothing.
  void ExecuteItem(EItem item);
  // Start-up without a window event: the proposed type and the layout (FormShow without a file).
  void DemarreSansFichier();

  // Display (KorFiche.cpp).
  void DetermineModes();
  void AjustePanneaux();
  void AfficheFichier(int index);
  void AfficheFiche(int index);
  void AfficheEtiquettes();
  void AfficheTitreFichier();
  void ValideTitreFichier();
  void FixeLectureSeule();
  void EffaceModifications();
  void MetAJourBoutons();
  void MetAJourMenus();
  void AfficheTitreFenetre();
  void VideFenetre();
  void BSuivantClick();
  void BPrecedentClick();
  // The next occurrence of the active search, forwards or backwards.
  void ChercheProchaine(bool arriere);
  std::string NomTypeCourant() const;
  // MessageAvecTitre.
  EBouton MessageAvecTitre(const std::string& texte, const std::string& titre, EGenreMessage icone, EBoutons boutons);

  // Validation and commit (KorFicheValidation.cpp).
  bool FicheModifiee() const;
  bool FicheEgaleCanevas() const;
  bool FicheSansSaisie() const;
  bool ValideFiche();  // true = refused
  void EnregistreFiche();
  void ClasseFiche();
  void NouvelleFiche(int index);
  void AjouteFiche(int index);
  void SupprimeFiche();
  void BNouveauClick() { NouvelleFiche(-1); }
  void BInsererClick() { NouvelleFiche(IndexCourant); }
  void BSupprimerClick();

  // File commands (KorFicheFichiers.cpp).
  std::string ListeTypes() const;
  bool EstTypeCSV(char type) const;
  bool FormatExportable(char format) const;
  std::string ListeFormatsExport() const;
  bool FormatPermis(char format) const;
  std::string ListeFormatsSauvegarde() const;
  char FormatParDefaut() const;
  std::vector<TFiltre> FiltresOuverture(const std::string& types) const;
  char TypeCSVParDefaut(const std::string& nom) const;
  // Returns true when a file is open afterwards.
  bool OuvreFichier(const std::string& nom, int index, bool rapport, bool normal, bool editable);
  int SauveFichier(const std::string& nom, bool demande, bool exporte);  // 1 saved, 2 not
  int DemandeSauvegarde();  // 1, 2 = cancel, 3 = No
  void LibereFichier();
  int FermeFichier();
  // Closes the open file (asking whether to save it) and opens another one at that card
  // (remembered files, a second start's command line). Name and index are its own copies:
  // closing the open file rewrites the remembered names and indexes they may come from.
  void OuvreAutreFichier(std::string nom, int index);
  void Nouveau1Click();
  void Ouvrir1Click(bool normal);
  void Sauver1Click();
  void Sauversous1Click(bool exporte);
  void Fermer1Click() { FermeFichier(); }
  void Ouvert1Click();
  void Recent1Click();
  // FormCloseQuery: false when the window is to stay open.
  bool PeutFermer();

  // Printing, clipboard, fonts, the three preferences, the remaining card commands, help and the
  // window's start (KorFicheCommandes.cpp).
  void Imprimer1Click();
  void PressePapiers1Click();
  void ListeVersPressePapiers1Click();
  void Police1Click() { ChoisitPolice(EPolice::Champs); }
  void Police2Click() { ChoisitPolice(EPolice::Liste); }
  void Applicationaudessus1Click();
  void Rouvrir1Click();
  void Instanceunique1Click();
  // The window in front or not as AvantPlan says, and the item's check mark.
  void AppliqueAvantPlan();
  void Premiere1Click();
  void Derniere1Click();
  void PermuterChampsClick();
  void Annuler1Click();
  void Enregistrerlafiche1Click();
  void Proprietes1Click();
  void Apropos1Click();
  void Rubriquesdaide1Click();
  // A later start's command line, without the program's name.
  void LigneCommandeRecue(const std::vector<std::string>& arguments);
  // FormShow: the fonts, stay on top, the check marks, and the file to open at start (the
  // command line's, else the remembered one when nombreInstances is 1).
  void FormShow(const std::vector<std::string>& arguments, int nombreInstances);

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
  void BChercherClick() { Rechercher1Click(); }
  void Rechsuivant1Click();
  void AbandonRech1Click();
  void Listedesfiches1Click();

  // Results of DemandeSauvegarde and SauveFichier.
  static constexpr int Sauve = 1;
  static constexpr int Abandon = 2;
  static constexpr int SansSauver = 3;

 private:
  void ChoisitPolice(EPolice police);
  void Coche(EItem item, bool coche);
  void FixeItem(EItem item, bool visible, bool actif);
  void FixeItem(EItem item, const TEtatItem& etat);
  TEtatItem& EtatItem(EItem item) { return FItems[static_cast<std::size_t>(item)]; }
  void MessageErreur(const std::string& texte);

  IVueFiche& FVue;
  TReglages& FReglages;
  std::array<TEtatItem, NombreItems> FItems;
};
