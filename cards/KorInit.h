#pragma once
// The settings store: one variable per value of the key "Software\Orvaline", filled once at
// start-up by LitPreferences and written back by EcritPreferences. Texts are 1252 bytes.
//
// The variables live in one TReglages. The programs use the process-wide one (Reglages());
// logic takes a TReglages by reference where it can, so that tests build their own.

#include <cstdint>
#include <string>

#include "platform/Ansi.h"

class TRegistre;

struct TReglages {
  // Player and editor shares
  std::string Conjonction;         // or       "ou"
  std::string Ponctuation;         // xdelim   !"',-.:;?
  std::string MotsIgnores;         // ignor    "un une des le la les l de du et"
  std::string PoliceChamps;        // foname   "Lucida Sans Typewriter"
  std::int32_t TaillePoliceChamps = 10;  // fosize
  std::string FichierOuvert;       // open (a file-system path, UTF-8)
  std::int32_t NumeroFicheOuvert = 0;    // openum
  std::string FichierRecent;       // recent (a file-system path, UTF-8)
  std::int32_t NumeroFicheRecent = 0;    // recnum
  bool FichierOuvertEnQuittant = false;  // opened
  bool EspaceAutourSeparateur = false;   // minsp
  // Editor
  bool PleinEcran = false;               // fulscr
  std::int32_t HauteurFenetre = 367;     // height
  std::int32_t LargeurFenetre = 607;     // width
  bool AvantPlan = false;                // topmst
  bool OuvrirAuDemarrage = true;         // reopen
  bool InstanceUnique = false;           // uninst
  std::string SignatureDefaut;           // sign
  bool ChercheArriere = false;           // srcbck
  bool TousTypes = true;                 // alltyp
  std::string TypesUtilises;             // types    "RNLQM" (at most 255)
  std::string FormatsUtilises;           // frmats   "xscmt" (at most 255)
  std::string PoliceListe;               // lstfon   "MS Reference Sans Serif"
  std::int32_t TaillePoliceListe = 12;   // lstfos
  std::string FeuilleStyleDefaut;        // xslfil
  bool XMLUtf8 = true;                   // xmlutf
  bool XMLLFSeul = true;                 // lfonly
  std::string SeparateurQCM;             // mcqor    "==="
  std::string FormatQCM;                 // mcqfrm
  std::int32_t NombreSeparateursQCM = 4; // mcqnor
  std::string TexteSeparateurCSV;        // comma (as typed, escaped)
  char SeparateurCSV = ',';              // derived by FixeSeparateurCSV
  std::string TypesCSV;                  // csvtyp   "L"
  bool CSVUtf8 = false;                  // csvutf
  bool NouvelleFicheSiNouveauFichier = false;  // ncwnf
  // Player
  std::string MessageBon;                // good     "Félicitations !"
  std::string MessageMauvais;            // bad      "Pas terrible, hum ?..."
  std::string MessageMoyen;              // mean     "Passable."
  bool MenuPreferencesVisible = true;    // chpref
  bool CtrlAAccepte = true;              // ctrla
  bool CtrlAltPBascule = true;           // ctaltp
  bool BarreMenu = true;                 // menu
  std::string HoteFeuilleNotes;          // host
  std::int32_t DelaiConnexion = 3000;    // cotout
  std::int32_t MargeSeuil = 6;           // margin
  bool NoteSur100 = true;                // maxhun
  bool RapporteInterrompues = false;     // repunf
  bool MenuFichierEnPartie = false;      // mnfile
  bool MenuPartieEnPartie = true;        // mnplay
  // Preferences program: the editor's window size is to be forgotten (height and width deleted).
  bool DimensionsOriginales = false;

  // Every variable at the default of the table (texts included).
  TReglages();
};

// The program's own settings.
TReglages& Reglages();

// Which program's share of the values is read and written.
enum class EPartReglages { Editeur, Joueur, Preferences };

// Fills the share's variables from the store, in the share's order and by its reading rules.
void LitPreferences(TReglages& r, EPartReglages part);
// The same from that store: the key is opened in it for the reading and closed after.
void LitPreferences(TReglages& r, EPartReglages part, TRegistre& registre);
// Editor and player: the run values always, the preferences when avecPreferences.
void EcritPreferences(const TReglages& r, EPartReglages part, bool avecPreferences);
// Preferences program: the player group when jeu, the editor group when editeur. False when
// something was to be written and did not reach the store (the key cannot be opened, or the
// store refused a write), so that the program can say so instead of claiming success.
bool EcritPreferences(const TReglages& r, bool jeu, bool editeur);
// Deletes the whole key. False when the key is still there afterwards.
bool EffacePreferences();
