#pragma once
// What the exchange formats share: how a reader takes a file from disk, and the two ways a
// writer puts its bytes on disk (a save, after which the card file holds the file written, and
// an export, which leaves the card file alone).

#include <functional>
#include <memory>
#include <string>

class TFichierX;

namespace echange {

// Opens the file (for writing too when ecriture), reads it whole and decodes it with decode.
// The card file decoded then holds the name and the open stream, is writable when ecriture, and
// is not modified. Opening and reading raise the file errors; decode raises its own.
std::unique_ptr<TFichierX> LitFichier(const std::string& chemin, bool ecriture,
                                      const std::function<std::unique_ptr<TFichierX>(const std::string&)>& decode);

// Writes the bytes as the card file's own file, through the safe save path: the file on disk is
// replaced only once the bytes are safely written. The card file then holds the new stream, the
// name, the format letter, and is writable and not modified. On failure nothing changes.
void EnregistreFichier(TFichierX& fichier, const std::string& chemin, char format, const std::string& octets);

// Writes an export: a file of its own, closed once written. The card file, its name and its
// stream are never touched; an export onto the card file's own open file is refused
// (EFCreateError) so that the file being edited is never written over.
void ExporteFichier(const TFichierX& fichier, const std::string& chemin, const std::string& octets);

}  // namespace echange
