#pragma once
// Raw loopback sockets for the protocol tests: a peer that does exactly what a test says
// (half a line, a reset, silence), which a Qt client would not. 127.0.0.1 only.

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace test_reseau {

// The Qt socket classes want an application object.
inline QCoreApplication& Application() {
  static int argc = 1;
  static char nom[] = "test";
  static char* argv[] = {nom, nullptr};
  static QCoreApplication* application =
      QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  return application ? *application : *QCoreApplication::instance();
}

inline sockaddr_in Boucle(std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// A port on which nothing listens (bound for a moment by the system's choice, then freed).
inline std::uint16_t PortLibre() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Boucle(0);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  ::close(fd);
  return ntohs(a.sin_port);
}

// A listening socket of the test's own on 127.0.0.1; it never accepts unless asked.
class TEcouteBrute {
 public:
  explicit TEcouteBrute(int fileAttente = 16) {
    FFd = ::socket(AF_INET, SOCK_STREAM, 0);
    int un = 1;
    ::setsockopt(FFd, SOL_SOCKET, SO_REUSEADDR, &un, sizeof un);
    sockaddr_in a = Boucle(0);
    ::bind(FFd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(FFd, fileAttente);
    socklen_t n = sizeof a;
    ::getsockname(FFd, reinterpret_cast<sockaddr*>(&a), &n);
    FPort = ntohs(a.sin_port);
  }
  ~TEcouteBrute() { ::close(FFd); }
  std::uint16_t Port() const { return FPort; }
  // The next connection, or -1 when none comes within the time.
  int Accepte(int delaiMs = 5000) {
    pollfd p{FFd, POLLIN, 0};
    if (::poll(&p, 1, delaiMs) != 1) return -1;
    return ::accept(FFd, nullptr, nullptr);
  }

 private:
  int FFd = -1;
  std::uint16_t FPort = 0;
};

// One raw connection to a port of 127.0.0.1.
class TPair {
 public:
  explicit TPair(std::uint16_t port) {
    FFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Boucle(port);
    Connecte = ::connect(FFd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  explicit TPair(int fdAccepte) : Connecte(fdAccepte >= 0), FFd(fdAccepte) {}
  ~TPair() { Ferme(); }
  TPair(const TPair&) = delete;
  TPair& operator=(const TPair&) = delete;

  bool Envoie(const std::string& octets) {
    std::size_t fait = 0;
    while (fait < octets.size()) {
      const ssize_t n = ::send(FFd, octets.data() + fait, octets.size() - fait, MSG_NOSIGNAL);
      if (n <= 0) return false;
      fait += static_cast<std::size_t>(n);
    }
    return true;
  }

  // One line without its CR LF; nothing when the peer closes or stays silent past the time.
  std::optional<std::string> LitLigne(int delaiMs = 10000) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(delaiMs);
    for (;;) {
      const std::size_t lf = FTampon.find('\n');
      if (lf != std::string::npos) {
        std::string ligne = FTampon.substr(0, lf);
        FTampon.erase(0, lf + 1);
        if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
        return ligne;
      }
      const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
                             limite - std::chrono::steady_clock::now()).count();
      if (reste <= 0) return std::nullopt;
      pollfd p{FFd, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(reste)) != 1) return std::nullopt;
      char octets[4096];
      const ssize_t n = ::recv(FFd, octets, sizeof octets, 0);
      if (n <= 0) return std::nullopt;
      FTampon.append(octets, static_cast<std::size_t>(n));
    }
  }

  // The peer has closed its side (end of stream or reset) within the time, after any lines
  // still to read.
  bool FermeParLePair(int delaiMs = 10000) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(delaiMs);
    for (;;) {
      const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
                             limite - std::chrono::steady_clock::now()).count();
      if (reste <= 0) return false;
      pollfd p{FFd, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(reste)) != 1) return false;
      char octets[4096];
      const ssize_t n = ::recv(FFd, octets, sizeof octets, 0);
      if (n <= 0) return true;
    }
  }

  // Closes with a reset rather than an orderly end.
  void Reinitialise() {
    linger l{1, 0};
    ::setsockopt(FFd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    Ferme();
  }
  void Ferme() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }
  int Fd() const { return FFd; }

  bool Connecte = false;

 private:
  int FFd = -1;
  std::string FTampon;
};

// The process's resident memory, in KiB, as the system counts it; -1 when it cannot be read.
inline long MemoireResidenteKo() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char ligne[256];
  long ko = -1;
  while (std::fgets(ligne, sizeof ligne, f))
    if (std::sscanf(ligne, "VmRSS: %ld", &ko) == 1) break;
  std::fclose(f);
  return ko;
}

// Waits, within a bound, for a condition that another thread makes true.
template <class F>
bool Attend(F condition, int delaiMs = 10000) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(delaiMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limite) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace test_reseau
