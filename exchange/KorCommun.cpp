#include "exchange/KorCommun.h"

#include <filesystem>
#include <system_error>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace echange {

void VerifieCibleExport(const TFichierX& fichier, const std::string& chemin) {
  auto memeFichier = [&](const std::string& autre) {
    if (autre.empty()) return false;
    std::error_code erreur;
    return autre == chemin || std::filesystem::equivalent(chemin, autre, erreur);
  };
  if (memeFichier(fichier.FFlux ? fichier.FFlux->Chemin() : std::string()) || memeFichier(fichier.FNomFichier))
    throw EFCreateError("Impossible de créer le fichier \""_a + ansi::Utf8VersAnsi(chemin) + "\". "_a +
                        "C'est le fichier en cours de modification."_a);
}

void ExporteFichier(const TFichierX& fichier, const std::string& chemin, const std::string& octets) {
  VerifieCibleExport(fichier, chemin);
  auto flux = EnregistreSur(chemin, nullptr, [&](TFlux& sortie) { sortie.Ecrit(octets); });
  flux.reset();  // the export is closed at once
}

}  // namespace echange
