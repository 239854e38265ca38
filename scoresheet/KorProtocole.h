#pragma once
// The score sheet's side of the results protocol, apart from any socket: the replies, the
// command matching and parameter splitting of one line, and the reader that cuts a byte stream
// into lines. The server (KorServeur) only moves bytes between these and the connection.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ProtocoleResultats.h"

// Replies, each sent followed by CR LF.
inline constexpr std::string_view ReponseBienvenue = "200 Welcome";
inline constexpr std::string_view ReponseBienRecu = "200 Well received";
inline constexpr std::string_view ReponseCommandeInconnue = "400 Unknown Command";
inline constexpr std::string_view ReponseErreurInterne = "500 Unknown Internal Error";

// The command's handler: receives the parameters of a SENDDATA line. Whatever it throws
// becomes the failure reply.
using FCommandeSendData = std::function<void(const std::vector<std::string>& parametres)>;

struct TReponseLigne {
  std::string Reponse;  // the reply line, without its CR LF
  bool Fermer = false;  // close the connection once the reply is sent
};

// A SENDDATA command: the whole line is the word, or its first eight characters are, in any case.
bool EstCommandeSendData(std::string_view ligne);

// The parameters of a SENDDATA line: the text from the tenth character on, trimmed of characters
// of codes 32 or less, split at each TAB; empty pieces dropped, each piece trimmed likewise.
std::vector<std::string> ParametresSendData(std::string_view ligne);

// Handles one line as the server does: 400 and keep the connection for anything but SENDDATA;
// SENDDATA calls the handler, then 200 (or 500 when it threw) and close. tronquee: the line was
// longer than the cap and holds only its beginning; a SENDDATA command is then handled on the
// parameters that arrived whole, when there are at least five, and otherwise the connection is
// closed without a reply (empty Reponse).
TReponseLigne TraiteLigne(std::string_view ligne, const FCommandeSendData& commande, bool tronquee = false);

// Cuts the bytes received on a connection into lines ended by LF (a CR before the LF is dropped).
// A line longer than the cap is still read to its end, keeping only its first bytes up to the
// cap (Tronquee then tells so); its bytes past the cap are dropped as they come, so the memory
// held stays within the cap. Only a line that grows past longueurMaxEntiere, with or without its
// end, makes the reader overflow: the connection is then to be closed, whatever follows.
class TLecteurLignes {
 public:
  static constexpr std::size_t LongueurMaxDefaut = 8192;
  static constexpr std::size_t LongueurMaxEntiereDefaut = 1024 * 1024;
  explicit TLecteurLignes(std::size_t longueurMax = LongueurMaxDefaut,
                          std::size_t longueurMaxEntiere = LongueurMaxEntiereDefaut)
      : FLongueurMax(longueurMax), FLongueurMaxEntiere(std::max(longueurMaxEntiere, longueurMax)) {}

  void Ajoute(const char* octets, std::size_t n);
  void Ajoute(std::string_view octets) { Ajoute(octets.data(), octets.size()); }
  // The next complete line, if one has arrived (never after an overflow).
  bool LigneSuivante(std::string& ligne);
  // The line last returned was longer than the cap: it holds its first bytes only.
  bool Tronquee() const { return FTronquee; }
  // A line grew past longueurMaxEntiere (its end may not even have been sent).
  bool Deborde() const { return FDeborde; }

 private:
  std::size_t FLongueurMax;
  std::size_t FLongueurMaxEntiere;
  std::string FTampon;
  std::size_t FDebut = 0;     // start of the unread part of FTampon
  std::size_t FExamine = 0;   // bytes from FDebut already searched for an LF
  // A line past the cap whose end is still to come: its first bytes and its length so far.
  bool FDansLongue = false;
  std::string FDebutLongue;
  std::size_t FLongueurLongue = 0;
  bool FLongueFinie = false;  // its end has come: FDebutLongue is the next line
  bool FTronquee = false;
  bool FDeborde = false;
};
