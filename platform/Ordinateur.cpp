#include "platform/Ordinateur.h"

#include <unistd.h>

#include <climits>

#include "platform/Ansi.h"

std::string NomOrdinateurDepuis(std::string_view nomHote) {
  nomHote = nomHote.substr(0, nomHote.find('.'));
  std::string nom = ansi::Utf8VersAnsi(nomHote);
  if (nom.size() > 15) nom.resize(15);
  for (char& c : nom) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 'a' + 'A');
    // The name travels in tab-separated protocol lines.
    else if (u < 0x20 || u == 0x7F) c = '?';
  }
  return nom.empty() ? "ORDINATEUR" : nom;
}

std::string GetComputerNameA() {
  char hote[HOST_NAME_MAX + 1] = {};
  if (gethostname(hote, sizeof hote - 1) != 0) hote[0] = '\0';
  return NomOrdinateurDepuis(hote);
}
