#include "cards/KorSauvegarde.h"

#include "cards/KorFichierX.h"
#include "platform/Fichier.h"

std::unique_ptr<TFichierX> LitFichierDisque(const std::string& chemin, bool ecriture, bool complet,
                                            const TDecodeur& decode) {
  auto flux = TFlux::Ouvre(chemin, ecriture ? EModeOuverture::LectureEcriture : EModeOuverture::Lecture);
  std::size_t taille = 0;
  const auto octets = flux->LitReste(taille);
  std::unique_ptr<TFichierX> fichier = decode(std::string_view(octets.get(), taille));
  if (complet) {
    fichier->FNomFichier = chemin;
    fichier->FModifiable = ecriture;
    fichier->FFlux = std::move(flux);
  } else {
    fichier->FModifiable = true;
  }
  fichier->FModifie = false;
  return fichier;
}

void EnregistreFichierX(TFichierX& fichier, const std::string& chemin, const TFlux* tenu, char format,
                        const std::function<void(TFlux&)>& ecrire) {
  auto flux = EnregistreSur(chemin, tenu, ecrire);
  fichier.FFormat = format;
  fichier.FNomFichier = chemin;
  fichier.FModifie = false;
  fichier.FModifiable = true;
  fichier.FFlux = std::move(flux);
}

void EnregistreFichierX(TFichierX& fichier, const std::string& chemin, const TFlux* tenu, char format,
                        const std::string& octets) {
  EnregistreFichierX(fichier, chemin, tenu, format, [&](TFlux& sortie) { sortie.Ecrit(octets); });
}
