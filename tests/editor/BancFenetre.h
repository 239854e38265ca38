#pragma once
// The bench of the editor's window tests on the offscreen platform: card files written in a
// temporary folder, keys as the system delivers them, typing with accents, a modal dialog
// driven once it is up, the PDF read back by pdftotext, and a window over its own settings whose
// message boxes are noted instead of shown.

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QList>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/KorXml.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "platform/Ansi.h"

namespace banc {

// A path as the file system takes it.
inline std::string Utf8(const QString& chemin) { return QFile::encodeName(chemin).toStdString(); }

// A card file of that type holding these cards (field 0, 1, 2), written in the XML format;
// nouveau: prepared as the editor prepares a new file (the settings' defaults).
inline void EcritFiches(const QString& chemin, char type, const std::vector<std::array<std::string, 3>>& fiches,
                        bool nouveau = false) {
  TReglages r;
  TFichierX f(type, 'x', EVarianteModele::Complet, r);
  if (nouveau) f.InitNouveauFichier(r);
  for (const auto& c : fiches) f.AjouteFiche(c[0], c[1], c[2]);
  EcritFichierXML(f, Utf8(chemin), true, r);
}

// A key as the system delivers it: to the window first.
inline void Touche(QWidget& fenetre, Qt::Key cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier) {
  QTest::keyClick(fenetre.windowHandle(), cle, modificateurs);
}

// Typed into a control, one key a character (accents included).
inline void Tape(QWidget* cible, const QString& texte) {
  for (const QChar c : texte) QTest::sendKeyEvent(QTest::Click, cible, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

inline bool Montre(QWidget& fenetre) {
  fenetre.show();
  return QTest::qWaitForWindowExposed(&fenetre);
}

// Waits until the window is the active one, its focus widget taking the keys. (A dialog counts
// as active for Qt as soon as the window it stands over is.)
inline bool Active(QWidget* fenetre) {
  return QTest::qWaitFor([fenetre] { return QApplication::activeWindow() == fenetre; });
}

// Runs the action once a modal dialog is up; closes it with Cancel if the action left it open.
inline void Pendant(const std::function<void()>& action) {
  QTimer::singleShot(0, [action] {
    if (!QApplication::activeModalWidget()) {
      Pendant(action);
      return;
    }
    action();
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
  });
}

// The same for this dialog, shown next.
inline void Pendant(QDialog& d, const std::function<void()>& action) {
  QTimer::singleShot(0, &d, [&d, action] {
    action();
    if (d.isVisible()) d.reject();
  });
}

inline bool PdftotextPresent() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// What pdftotext writes with these options (the PDF and "-" among them).
inline QString Pdftotext(const QStringList& options, bool* reussi = nullptr) {
  QProcess outil;
  outil.start(QStringLiteral("pdftotext"), options);
  const bool fini = outil.waitForFinished(30000) && outil.exitCode() == 0;
  if (reussi) *reussi = fini;
  return QString::fromUtf8(outil.readAllStandardOutput());
}

// The window's own message boxes answered as they open, in turn, by these actions; a box
// beyond them is refused and noted.
class TBoitesScriptees : public QObject {
 public:
  explicit TBoitesScriptees(QList<std::function<void(QMessageBox&)>> actions) : FActions(std::move(actions)) {
    FVeille.setInterval(20);
    connect(&FVeille, &QTimer::timeout, this, [this] {
      auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      // Boxes may follow one another at the same address: each is marked once answered.
      if (!boite || !boite->isVisible() || boite->property("repondue").toBool()) return;
      boite->setProperty("repondue", true);
      ++Vues;
      if (FActions.isEmpty()) {
        qWarning() << "unexpected message box:" << boite->text();
        boite->reject();
        return;
      }
      FActions.takeFirst()(*boite);
    });
    FVeille.start();
  }
  int Vues = 0;

 private:
  QList<std::function<void(QMessageBox&)>> FActions;
  QTimer FVeille;
};

// The kind of message the window asked for, by the box's icon.
inline EGenreMessage GenreDeLIcone(QMessageBox::Icon icone) {
  switch (icone) {
    case QMessageBox::Warning: return EGenreMessage::Avertissement;
    case QMessageBox::Critical: return EGenreMessage::Erreur;
    case QMessageBox::Question: return EGenreMessage::Question;
    default: return EGenreMessage::Information;
  }
}

// The box's button for an answer of the editor's.
inline QMessageBox::StandardButton BoutonQt(EBouton bouton) {
  switch (bouton) {
    case EBouton::Ok: return QMessageBox::Ok;
    case EBouton::Oui: return QMessageBox::Yes;
    case EBouton::Non: return QMessageBox::No;
    case EBouton::Abandonner: return QMessageBox::Abort;
    case EBouton::Annuler: return QMessageBox::Cancel;
  }
  return QMessageBox::Cancel;
}

// A message box as the window asked for it.
struct TBoite {
  QString Texte, Titre;
  EGenreMessage Genre;
};

// A folder for the test's files, the window's own settings, and the window, whose message boxes
// are noted and answered by Reponse (OK unless a test says otherwise).
struct TBanc {
  QTemporaryDir Dossier;
  TReglages Reglages;
  std::unique_ptr<TFormFiche> Fenetre;
  QList<TBoite> Boites;
  EBouton Reponse = EBouton::Ok;
  bool BoitesDeLaFenetre = false;  // the window's own boxes, shown

  QString Chemin(const QString& nom) const { return Dossier.filePath(nom); }

  // The window over the settings, with these arguments, shown.
  TFormFiche& Cree(const QStringList& arguments = {}) {
    Fenetre = std::make_unique<TFormFiche>(arguments, Reglages);
    if (!BoitesDeLaFenetre)
      Fenetre->BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                     QMessageBox::StandardButtons) {
        Boites.append({texte, titre, GenreDeLIcone(icone)});
        return BoutonQt(Reponse);
      };
    if (!Montre(*Fenetre)) qWarning("the window was not shown");
    return *Fenetre;
  }
  // The window with that file open at that card.
  TFormFiche& Ouvre(const QString& chemin, int index = 0) {
    TFormFiche& f = Cree();
    if (!f.Editeur.OuvreFichier(Utf8(chemin), index, true, true, true)) qWarning("the file was not opened");
    return f;
  }
};

}  // namespace banc
