// The rotate dialog: the angle in degrees (edit "1022"; OK "1", Cancel "2"); run it with RunModal.
#pragma once

#include <QDialog>

class QLineEdit;

class CRotateDlg : public QDialog
{
public:
    enum { IDD = 1003 };
    enum Control { kAngle = 1022 };

    explicit CRotateDlg(QWidget* parent = nullptr);

    // The angle as typed (0 for an empty edit); counter-clockwise for a positive angle.
    double GetAngle() const;

private:
    QLineEdit* m_angle = nullptr;
};
