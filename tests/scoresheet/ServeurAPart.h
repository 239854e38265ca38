#pragma once
// The score sheet's server in a process of its own, so that its descriptor limit is its own and
// the players of the test, in this process, take none of it. The test asks it through a pipe for
// its rows and connections, and to lower its limit. 127.0.0.1 only; the process ends with the
// object.

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>

#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"
#include "ReseauTest.h"

namespace test_reseau {

class TServeurAPart {
 public:
  // limite: the process's descriptor limit, hard and soft, before the server starts; 0: the
  // test's own.
  explicit TServeurAPart(rlim_t limite = 0, TOptionsServeur options = TOptionsServeur{.Port = 0}) {
    int ordres[2], reponses[2];
    if (::pipe2(ordres, O_CLOEXEC) != 0) return;
    if (::pipe2(reponses, O_CLOEXEC) != 0) {
      ::close(ordres[0]);
      ::close(ordres[1]);
      return;
    }
    FPid = ::fork();
    if (FPid == 0) {
      ::close(ordres[1]);
      ::close(reponses[0]);
      Serveur(ordres[0], reponses[1], limite, options);
    }
    ::close(ordres[0]);
    ::close(reponses[1]);
    FOrdres = ordres[1];
    FReponses = reponses[0];
    if (FPid < 0) return;
    std::uint16_t port = 0;
    if (Lit(port)) FPort = port;
  }

  ~TServeurAPart() {
    if (FOrdres >= 0) ::close(FOrdres);  // the server's end of file: it stops and leaves
    if (FReponses >= 0) ::close(FReponses);
    if (FPid > 0) {
      int statut = 0;
      for (int k = 0; k < 200; ++k) {
        if (::waitpid(FPid, &statut, WNOHANG) == FPid) return;
        ::usleep(50000);
      }
      ::kill(FPid, SIGKILL);
      ::waitpid(FPid, &statut, 0);
    }
  }
  TServeurAPart(const TServeurAPart&) = delete;
  TServeurAPart& operator=(const TServeurAPart&) = delete;

  // 0 when the server does not listen.
  std::uint16_t Port() const { return FPort; }
  // The rows of its table, titles included; -1 when it does not answer.
  int NbLignes() { return Demande('N'); }
  int ConnexionsActives() { return Demande('C'); }
  // Lowers its soft limit so that one descriptor only is left free; false when it cannot.
  bool UnSeulDescripteurLibre() { return Demande('L') == 1; }

 private:
  [[noreturn]] static void Serveur(int ordres, int reponses, rlim_t limite, const TOptionsServeur& options) {
    if (limite > 0) {
      rlimit l{limite, limite};
      if (::setrlimit(RLIMIT_NOFILE, &l) != 0) ::_exit(2);
    }
    TTableResultats table;
    TServeurResultats tcp([&table](const std::vector<std::string>& p) { table.TCPServerCommandSendDataCommand(p); },
                          options);
    const std::uint16_t port = tcp.Ecoute() ? tcp.Port() : 0;
    Ecrit(reponses, port);
    for (char ordre; ::read(ordres, &ordre, 1) == 1;) {
      int reponse = -1;
      if (ordre == 'N') reponse = table.NbLignes();
      if (ordre == 'C') reponse = tcp.ConnexionsActives();
      if (ordre == 'L') {
        // The lowest free descriptor becomes the last one allowed.
        const int libre = ::fcntl(ordres, F_DUPFD, 0);
        rlimit l{};
        ::getrlimit(RLIMIT_NOFILE, &l);
        reponse = 0;
        if (libre >= 0) {
          ::close(libre);
          l.rlim_cur = static_cast<rlim_t>(libre) + 1;
          reponse = ::setrlimit(RLIMIT_NOFILE, &l) == 0 ? 1 : 0;
        }
      }
      Ecrit(reponses, reponse);
    }
    tcp.Arrete();
    ::_exit(0);
  }

  template <class T>
  static void Ecrit(int fd, const T& valeur) {
    if (::write(fd, &valeur, sizeof valeur) != static_cast<ssize_t>(sizeof valeur)) ::_exit(3);
  }

  template <class T>
  bool Lit(T& valeur) {
    pollfd p{FReponses, POLLIN, 0};
    if (::poll(&p, 1, 10000) != 1) return false;
    return ::read(FReponses, &valeur, sizeof valeur) == static_cast<ssize_t>(sizeof valeur);
  }

  int Demande(char ordre) {
    int reponse = -1;
    if (::write(FOrdres, &ordre, 1) != 1 || !Lit(reponse)) return -1;
    return reponse;
  }

  pid_t FPid = -1;
  int FOrdres = -1;
  int FReponses = -1;
  std::uint16_t FPort = 0;
};

}  // namespace test_reseau
