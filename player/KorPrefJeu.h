#pragma once
// The rules of the player's preferences dialog: what its controls show, filled from the
// settings and stored back into them on OK, and the messages of its connection test. The Qt
// dialog draws this state and forwards the user's changes to it.

#include <string>

#include "cards/KorInit.h"
#include "platform/Dialogue.h"
#include "player/KorResultats.h"

// What the connection test tells: the message, and whether it is a warning, else an error,
// unless the connection was made (an information).
struct TMessageTest {
  std::string Texte;
  bool Avertissement = false;
  bool Etablie = false;
};
// The message of a failure of that kind. hote is the name tested (1252); texte the failure's own text.
TMessageTest MessageEchecTest(EGenreEchec genre, const std::string& hote, const std::string& texte);

class TPrefJeu : public TLogiqueDialogue {
 public:
  // What the controls show (1252).
  std::string MessageBon;
  std::string MessageMauvais;
  std::string MessageMoyen;
  std::string Conjonction;
  std::string Ponctuation;
  std::string MotsIgnores;
  std::string Hote;
  bool NoteSur100 = false;
  bool RapporteInterrompues = false;
  bool MenuFichierEnPartie = false;
  bool MenuPartieEnPartie = false;

  // Every value from the settings but the font, which the dialog takes from the fields.
  void Remplit(const TReglages& r);
  void FormShow() override;
  // The font dialog's choice: stored on OK, and a change.
  void ChoisitPolice(const std::string& famille, int taille);
  bool PoliceModifiee() const { return FPoliceModifiee; }
  // OK: the values into the settings, the separators without spaces and the host trimmed.
  void Stocke(TReglages& r) const;
  // The Test button: the host shown, trimmed, becomes the client's and is tried.
  TMessageTest TestConnexion(TClientResultats& client) const;

 private:
  std::string FPolice;
  int FTaillePolice = 0;
  bool FPoliceModifiee = false;
};
