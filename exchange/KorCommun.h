#pragma once
// What the exchange formats share beyond the card formats' own steps (cards/KorSauvegarde.h,
// for reading a file and for a save, after which the card file holds the file written): the
// export, which leaves the card file alone.

#include <string>

class TFichierX;

namespace echange {

// Writes an export: a file of its own, closed once written. The card file, its name and its
// stream are never touched; an export onto the card file's own open file is refused
// (EFCreateError) so that the file being edited is never written over.
// Refuses (EFCreateError) an export target that is the card file's own file: the same path, or
// the same file through a link.
void VerifieCibleExport(const TFichierX& fichier, const std::string& chemin);
void ExporteFichier(const TFichierX& fichier, const std::string& chemin, const std::string& octets);

}  // namespace echange
