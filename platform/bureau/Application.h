#pragma once
// The application object of the programs with windows: the signals every program sets at start
// (PrepareSignaux), the program's name, Qt's own texts in French, and the general error report.

#include <QApplication>

class TApplication : public QApplication {
 public:
  // nom: the program's name (settings, single instance, window titles).
  TApplication(int& argc, char** argv, const QString& nom);

  // The general error report: a failure that no command caught is shown with its text in a
  // message box, and the program goes on.
  bool notify(QObject* destinataire, QEvent* evenement) override;
};
