// The rename dialog of the thumbnail strip ("Rename"): one edit with the name. Run through RunModal.
#pragma once

#include "resources/UiLanguage.h"

#include <QDialog>

#include <string>

class QLineEdit;

class CthumbNameDlg : public QDialog
{
    Q_OBJECT

public:
    CthumbNameDlg(const std::string& name, LANGID language, QWidget* parent = nullptr);

    // The name as edited; read after the dialog was accepted.
    std::string Name() const;

private:
    QLineEdit* m_edit = nullptr;
};
