#include "exchange/KorCommun.h"

#include <filesystem>
#include <system_error>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace echange {

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
