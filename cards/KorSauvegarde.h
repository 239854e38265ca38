#pragma once
// What every card-file format does around its own bytes: reading a file whole, after which the
// card file decoded holds the file's name and stream, and the safe save, after which the card
// file holds the file written.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TFichierX;
class TFlux;

// A format's reader: decodes the bytes of a file into a new card file.
using TDecodeur = std::function<std::unique_ptr<TFichierX>(std::string_view octets)>;

// Opens the file (ecriture: read-write and locked against every other opening, else read-only,
// others may read), reads it whole and decodes it. complet: a full load, the card file then
// holds the name and the open stream and is writable when ecriture; else a template load, the
// file is closed and the card file, without a name, is writable. The card file is not modified.
// Opening and reading raise the file errors; decode raises its own.
std::unique_ptr<TFichierX> LitFichierDisque(const std::string& chemin, bool ecriture, bool complet,
                                            const TDecodeur& decode);

// Saves the card file at chemin through the safe save path: ecrire fills the temporary file,
// and tenu is the stream this program holds on the target, if any (see EnregistreSur). Only once
// the file is safely written does the card file change: it then holds the new stream, the name
// and the format letter, and is writable and not modified. On failure nothing changes.
void EnregistreFichierX(TFichierX& fichier, const std::string& chemin, const TFlux* tenu, char format,
                        const std::function<void(TFlux&)>& ecrire);
// The same with the bytes of the whole file.
void EnregistreFichierX(TFichierX& fichier, const std::string& chemin, const TFlux* tenu, char format,
                        const std::string& octets);

// The entry functions of a format around its short-lived format object (Format::Ouvre,
// Prepare, Enregistre and Octets, whatever arguments each takes): one object for one read or one
// write, freed right after, whether or not it succeeds.

// The bytes of a file decoded into a new card file (chemin: the name the decoder knows, empty
// for bytes in memory).
template <class Format, class... Arguments>
std::unique_ptr<TFichierX> DecodeFichier(const std::string& chemin, std::string_view octets,
                                         const Arguments&... arguments) {
  Format format;
  format.FNomFichier = chemin;
  format.Ouvre(octets, arguments...);
  return std::move(format.FLu);
}

// A file read whole and decoded (see LitFichierDisque).
template <class Format, class... Arguments>
std::unique_ptr<TFichierX> LitFichierAvec(const std::string& chemin, bool ecriture, bool complet,
                                          const Arguments&... arguments) {
  return LitFichierDisque(chemin, ecriture, complet, [&](std::string_view octets) {
    return DecodeFichier<Format>(chemin, octets, arguments...);
  });
}

// The card file saved at chemin; arguments are those of Format::Enregistre.
template <class Format, class... Arguments>
void EcritFichierAvec(TFichierX& fichier, const std::string& chemin, const Arguments&... arguments) {
  Format format;
  format.Prepare(fichier, chemin);
  format.Enregistre(arguments...);
}

// The bytes the format writes for the card file, without touching any file.
template <class Format, class... Arguments>
std::string OctetsFichierAvec(TFichierX& fichier, const Arguments&... arguments) {
  Format format;
  format.Prepare(fichier, "");
  return format.Octets(arguments...);
}
