#pragma once
// Small text and file-name helpers shared by the programs, and format recognition.

#include <string>
#include <string_view>

#include "KorInit.h"

// Blanks are the characters of codes 0 to 32 (controls, TAB, CR, LF, space); 160 is not one.
constexpr bool EstBlanc(char c) { return static_cast<unsigned char>(c) <= 32; }
// The text without its blanks at both ends.
std::string Rogne(std::string_view texte);
// The text without its leading blanks.
std::string RogneGauche(std::string_view texte);
// The text without its trailing blanks.
std::string RogneDroite(std::string_view texte);

// Every occurrence of motif, found left to right without overlap, replaced by par in one pass
// over the text: what is put in is never searched again. An empty motif changes nothing.
void RemplaceTout(std::string& texte, std::string_view motif, std::string_view par);

char PremierCaractere(const std::string& texte);
std::string SansEspaces(const std::string& texte);

// Which formats DetecteFormat recognises: the editor all of them, the player only x, m and n.
enum class EVarianteDetection { Complete, Joueur };
// The format letter of a file from its first 255 bytes and its name: x, m, n, s, c or '?'.
// Raises EFOpenError when the file cannot be opened.
char DetecteFormat(const std::string& chemin, EVarianteDetection variante,
                   const TReglages& r);
// The same test on bytes already read (at most the first 255 are looked at).
char DetecteFormatOctets(const std::string& octets, const std::string& nomFichier,
                         EVarianteDetection variante,
                         const TReglages& r);

std::string SeparateurListe();
void FixeSeparateurCSV(const std::string& texte, TReglages& r);
std::string ExtensionDuMotif(const std::string& motif, char type);
// Paths accept "\" and "/" as folder separators.
std::string NomSansExtension(const std::string& chemin);
std::string NomAvecVolume(const std::string& chemin);
std::string Echappe(const std::string& texte);
std::string Desechappe(const std::string& texte);
