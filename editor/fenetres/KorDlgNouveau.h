#pragma once
// TDlgNouveau, the new-file dialog: the type of the new card file, chosen in a drop-down list.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

class TDlgNouveau : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgNouveau(QWidget* parent = nullptr);

  // Fills CBType with the type names, selects the first and shows the dialog modally. True on
  // OK, with index := the chosen entry.
  bool Execute(const QStringList& types, int& index);

  QLabel* LDemande = nullptr;
  QLabel* LType = nullptr;
  QComboBox* CBType = nullptr;
  QPushButton* BOK = nullptr;
  QPushButton* BAnnuler = nullptr;
  static constexpr int ContexteAide = 7;
};
