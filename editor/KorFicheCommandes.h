#pragma once
// What the editor's remaining commands compute without a window: the printed lines of the shown
// card, the clipboard texts of the card and of the list, the properties and about texts, the
// font sizes that stay readable, and the queue of command lines handed over by a later start.
// Texts are 1252 bytes with CR LF line breaks; file names are UTF-8 paths.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TFichierX;
struct TReglages;

// A printed text line: the text after six spaces.
std::string Indente(const std::string& texte);

// The lines printed for the shown card, top to bottom: the title edit's text, an empty line,
// the field-1 memo's lines, an empty line, the field-2 memo's lines; every text line indented.
// The memo lines are those the memo shows, word-wrapped lines included.
std::vector<std::string> LignesImpression(const std::string& titre,
                                          const std::vector<std::string>& lignesQuestion,
                                          const std::vector<std::string>& lignesReponse);

// The shown card as the clipboard receives it, from the edits as they stand: field 2, after
// field 1 and an empty line when the file has field 1 (even an empty field 1), after the title
// and an empty line when the file has field 0 and the title is not empty.
std::string TexteFichePressePapiers(const std::string& titre, const std::string& question,
                                    const std::string& reponse, bool avecChamp0, bool sansChamp1);

// The index line of every card in file order (Notes files too), each ended by CR LF.
std::string TexteListePressePapiers(const TFichierX& fichier);

// "Propriétés": type, format and number of cards.
std::string TexteProprietes(const TFichierX& fichier);
// "A propos": the program, its version and the current type.
std::string TexteAPropos(char typeCourant);

// Font sizes the edits and the list are shown with: a size the user could not mean (0, negative,
// or huge) must not leave them unreadable. The settings keep the user's value; only what is
// shown is bounded.
inline constexpr int TaillePoliceMin = 6;
inline constexpr int TaillePoliceMax = 72;
// taille when it lies within the bounds; parDefaut for 0 or less; else the nearest bound.
int TaillePoliceAffichee(std::int32_t taille, int parDefaut);

// The file opened when the window is first shown: the first command-line argument (its failure
// is reported), else the remembered file when it is to be reopened at start, a file was open
// when the editor was last closed and no other editor runs (its failure is silent).
struct TFichierDemarrage {
  std::string Nom;
  bool Rapport = false;
  friend bool operator==(const TFichierDemarrage&, const TFichierDemarrage&) = default;
};
std::optional<TFichierDemarrage> FichierAuDemarrage(const std::vector<std::string>& arguments,
                                                    const TReglages& r, int nombreInstances);

// A later start's command line (its arguments without the program's name), or nothing to do:
// no argument, or the first one names the open file (exact comparison). nomOuvert is null
// without a file.
std::optional<std::string> FichierDeLigneCommande(const std::vector<std::string>& arguments,
                                                  const std::string* nomOuvert);

// Command lines of later starts, acted on only while no modal dialog is open: closing the file
// under an open dialog (the save question, a save or options dialog, the card list) would pull
// the file from under it. One waits at most; a newer one replaces it.
class TFileLigneCommande {
 public:
  using FDialogueOuvert = std::function<bool()>;
  using FExecute = std::function<void(const std::vector<std::string>& arguments)>;
  TFileLigneCommande(FDialogueOuvert dialogueOuvert, FExecute execute);

  // A command line has come: run it now if possible, else keep it in place of the waiting one.
  void Recoit(std::vector<std::string> arguments);
  // Runs the waiting command line if no modal dialog is open (and none is running).
  void Reprend();
  bool EnAttente() const { return FEnAttente.has_value(); }

 private:
  FDialogueOuvert FDialogueModal;
  FExecute FExecution;
  std::optional<std::vector<std::string>> FEnAttente;
  bool FEnCours = false;
};
