#include "player/KorPrefJeu.h"

#include <QString>

#include <exception>

#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Erreur.h"

TMessageTest MessageEchecTest(EGenreEchec genre, const std::string& hote, const std::string& texte) {
  switch (genre) {
    case EGenreEchec::ConnexionRefusee:
      return {"La Feuille de Notes n'est pas exécutée sur l'ordinateur \""_a + hote + "\".", true};
    case EGenreEchec::HoteIntrouvable:
      return {"L'ordinateur \""_a + hote + "\" n'est pas sur le réseau."_a, false};
    case EGenreEchec::AccesRefuse:
      return {"L'accès au réseau est interdit (probablement par le pare-feu)."_a, false};
    case EGenreEchec::DelaiConnexion:
      return {"Temps de connexion dépassé."_a, false};
    case EGenreEchec::ErreurSocket:
    case EGenreEchec::DelaiReponse:
    case EGenreEchec::FermetureServeur:
      break;
  }
  return {texte, false};
}

void TPrefJeu::Remplit(const TReglages& r) {
  Conjonction = r.Conjonction;
  Ponctuation = r.Ponctuation;
  MotsIgnores = r.MotsIgnores;
  MessageBon = r.MessageBon;
  MessageMauvais = r.MessageMauvais;
  MessageMoyen = r.MessageMoyen;
  Hote = r.HoteFeuilleNotes;
  NoteSur100 = r.NoteSur100;
  RapporteInterrompues = r.RapporteInterrompues;
  MenuFichierEnPartie = r.MenuFichierEnPartie;
  MenuPartieEnPartie = r.MenuPartieEnPartie;
}

void TPrefJeu::FormShow() {
  TLogiqueDialogue::FormShow();
  FPoliceModifiee = false;
}

void TPrefJeu::ChoisitPolice(const std::string& famille, int taille) {
  FPolice = famille;
  FTaillePolice = taille;
  FPoliceModifiee = true;
  Changement();
}

void TPrefJeu::Stocke(TReglages& r) const {
  r.MessageBon = MessageBon;
  r.MessageMauvais = MessageMauvais;
  r.MessageMoyen = MessageMoyen;
  r.HoteFeuilleNotes = Rogne(Hote);
  r.NoteSur100 = NoteSur100;
  r.RapporteInterrompues = RapporteInterrompues;
  r.Conjonction = SansEspaces(Conjonction);
  r.Ponctuation = SansEspaces(Ponctuation);
  r.MotsIgnores = MotsIgnores;
  if (FPoliceModifiee) {
    r.PoliceChamps = FPolice;
    r.TaillePoliceChamps = FTaillePolice;
  }
  r.MenuFichierEnPartie = MenuFichierEnPartie;
  r.MenuPartieEnPartie = MenuPartieEnPartie;
}

TMessageTest TPrefJeu::TestConnexion(TClientResultats& client) const {
  const std::string hote = Rogne(Hote);
  if (hote.empty())
    return {"Pour utiliser la Feuille de Notes, vous devez indiquer\nle nom de l'ordinateur où elle est exécutée."_a,
            true};
  client.Hote = hote;
  try {
    TesteConnexion(client);
    return {"Connexion établie avec la Feuille de Notes."_a, false, true};
  } catch (const EErreurResultats& e) {
    return MessageEchecTest(e.Genre, hote, e.Message());
  } catch (const EErreur& e) {
    return {e.Message(), false};
  } catch (const std::exception& e) {
    return {ansi::DepuisQString(QString::fromLocal8Bit(e.what())), false};
  }
}
