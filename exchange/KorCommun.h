#pragma once
// What the exchange formats share: the blank trimming of card texts, and the two ways a writer
// puts its bytes on disk (a save, after which the card file holds the file written, and an
// export, which leaves the card file alone).

#include <string>
#include <string_view>

class TFichierX;

namespace echange {

// Blanks are the characters of code 0 to 32 (controls, CR, LF, TAB, space).
constexpr bool EstBlanc(char c) { return static_cast<unsigned char>(c) <= 32; }
std::string Rogne(std::string_view texte);
std::string RogneGauche(std::string_view texte);
std::string RogneDroite(std::string_view texte);

// Writes the bytes as the card file's own file, through the safe save path: the file on disk is
// replaced only once the bytes are safely written. The card file then holds the new stream, the
// name, the format letter, and is writable and not modified. On failure nothing changes.
void EnregistreFichier(TFichierX& fichier, const std::string& chemin, char format, const std::string& octets);

// Writes an export: a file of its own, closed once written. The card file, its name and its
// stream are never touched; an export onto the card file's own open file is refused
// (EFCreateError) so that the file being edited is never written over.
void ExporteFichier(const TFichierX& fichier, const std::string& chemin, const std::string& octets);

}  // namespace echange
