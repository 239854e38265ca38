#include "exchange/KorCommun.h"

#include <filesystem>
#include <system_error>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace echange {

std::unique_ptr<TFichierX> LitFichier(const std::string& chemin, bool ecriture,
                                      const std::function<std::unique_ptr<TFichierX>(const std::string&)>& decode) {
  auto flux = TFlux::Ouvre(chemin, ecriture ? EModeOuverture::LectureEcriture : EModeOuverture::Lecture);
  std::unique_ptr<TFichierX> fichier = decode(flux->LitReste());
  fichier->FNomFichier = chemin;
  fichier->FModifiable = ecriture;
  fichier->FFlux = std::move(flux);
  fichier->FModifie = false;
  return fichier;
}

void EnregistreFichier(TFichierX& fichier, const std::string& chemin, char format, const std::string& octets) {
  // The card file's own stream is passed whether the file is new or rewritten: the safe save
  // recognises it only when it lies on the target (a save under another spelling of its name).
  auto flux = EnregistreSur(chemin, fichier.FFlux.get(), [&](TFlux& sortie) { sortie.Ecrit(octets); });
  fichier.FFormat = format;
  fichier.FNomFichier = chemin;
  fichier.FModifie = false;
  fichier.FModifiable = true;
  fichier.FFlux = std::move(flux);
}

void ExporteFichier(const TFichierX& fichier, const std::string& chemin, const std::string& octets) {
  if (fichier.FFlux) {
    std::error_code erreur;
    if (std::filesystem::equivalent(chemin, fichier.FFlux->Chemin(), erreur))
      throw EFCreateError("Impossible de créer le fichier \""_a + ansi::Utf8VersAnsi(chemin) + "\". "_a +
                          "C'est le fichier en cours de modification."_a);
  }
  auto flux = EnregistreSur(chemin, nullptr, [&](TFlux& sortie) { sortie.Ecrit(octets); });
  flux.reset();  // the export is closed at once
}

}  // namespace echange
